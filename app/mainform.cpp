#include "app/mainform.h"

#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSocketNotifier>
#include <QTimer>
#include <QWindow>

#include "app/anfitrion.h"
#include "app/bandera.h"
#include "app/draw3d.h"
#include "comun/error.h"
#include "tables/carpeta.h"

namespace tts {

namespace {

constexpr int kAncho = 632;
constexpr int kAlto = 266;
const char* const kPropiedadContexto = "contextoAyuda";

QString qtexto(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// Las fuentes: Liberation Sans tiene las medidas de Arial, y a 11 píxeles está cerca de la
// letra de sistema de la ventana.
QFont fuente(int pixeles, bool negrita) {
  QFont letra;
  letra.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("Sans Serif")});
  letra.setPixelSize(pixeles);
  letra.setBold(negrita);
  return letra;
}

// El glifo de los botones de aceptar: una marca verde.
QIcon glifo_aceptar() {
  QPixmap lienzo(18, 18);
  lienzo.fill(Qt::transparent);
  QPainter pintor(&lienzo);
  pintor.setRenderHint(QPainter::Antialiasing);
  pintor.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  pintor.drawPolyline(QPolygonF({QPointF(3, 9.5), QPointF(7, 13.5), QPointF(15, 4.5)}));
  return QIcon(lienzo);
}

// El glifo del botón de salir: una puerta abierta en su marco.
QIcon glifo_salir() {
  QPixmap lienzo(18, 18);
  lienzo.fill(Qt::transparent);
  QPainter pintor(&lienzo);
  pintor.setRenderHint(QPainter::Antialiasing);
  pintor.setPen(QPen(QColor(64, 64, 64), 1));
  pintor.setBrush(QColor(255, 255, 255));
  pintor.drawRect(QRectF(4.5, 1.5, 10, 15));  // el hueco
  pintor.setBrush(QColor(128, 128, 0));
  QPainterPath hoja;
  hoja.moveTo(4.5, 1.5);
  hoja.lineTo(10.5, 3.5);
  hoja.lineTo(10.5, 17.5);
  hoja.lineTo(4.5, 16.5);
  hoja.closeSubpath();
  pintor.drawPath(hoja);
  pintor.setPen(Qt::NoPen);
  pintor.setBrush(QColor(255, 255, 0));
  pintor.drawEllipse(QPointF(9, 10), 1, 1);  // el pomo
  return QIcon(lienzo);
}

QPushButton* boton(QWidget* padre, const char* nombre, const QString& texto, QRect sitio, const QIcon& glifo = {}) {
  auto* b = new QPushButton(texto, padre);  // lo posee su padre
  b->setObjectName(QString::fromLatin1(nombre));
  b->setGeometry(sitio);
  b->setFocusPolicy(Qt::StrongFocus);
  b->setAutoDefault(false);
  if (!glifo.isNull()) b->setIcon(glifo);
  b->setProperty(kPropiedadContexto, kContextoAyuda);
  return b;
}

QLabel* etiqueta(QWidget* padre, const char* nombre, const QString& texto, QRect sitio, const QFont& letra) {
  auto* e = new QLabel(texto, padre);  // la posee su padre
  e->setObjectName(QString::fromLatin1(nombre));
  e->setFont(letra);
  e->setGeometry(sitio);
  e->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  e->setAttribute(Qt::WA_TranslucentBackground);
  e->setAutoFillBackground(false);
  return e;
}

Draw3D* panel(QWidget* padre, const char* nombre, QRect sitio, QColor inicio, QColor medio, QColor fin, QColor color) {
  auto* p = new Draw3D(padre);  // lo posee su padre
  p->setObjectName(QString::fromLatin1(nombre));
  p->setGeometry(sitio);
  p->poner_degradado(inicio, medio, fin);
  p->poner_color(color);
  p->setProperty(kPropiedadContexto, kContextoAyuda);
  return p;
}

}  // namespace

TMForm::TMForm(Estado& estado, Interfaz& interfaz, Entorno entorno, QWidget* padre)
    : QWidget(padre, Qt::Window | Qt::MSWindowsFixedSizeDialogHint),
      estado_(estado),
      interfaz_(interfaz),
      entorno_(std::move(entorno)) {
  setObjectName(QStringLiteral("MForm"));
  crear_controles();
  FormCreate();
}

TMForm::~TMForm() {
  // La ventana ajena no debe llevarse consigo la nuestra: sus hijas son suyas para Qt.
  if (anfitrion_ && windowHandle() != nullptr) windowHandle()->setParent(nullptr);
}

void TMForm::crear_controles() {
  setWindowTitle(qtexto(kTituloVentana));
  setFixedSize(kAncho, kAlto);
  setFont(fuente(11, false));
  // El fondo en el color de la cara de los botones; los textos, en el de la ventana.
  QPalette colores = palette();
  colores.setColor(QPalette::Window, colores.color(QPalette::Button));
  setPalette(colores);
  setAutoFillBackground(true);
  setProperty(kPropiedadContexto, kContextoAyuda);

  const QColor arena(249, 211, 125), crema(255, 238, 221), lima(0, 255, 0);
  const QColor gris_azulado(204, 216, 230);
  // Se crean en el orden de tabulación: la franja de abajo, después la exportación y la
  // importación.
  auto* draw3d1 = panel(this, "Draw3D1", {0, 168, 633, 97}, QColor(194, 205, 254), QColor(207, 242, 254), gris_azulado,
                        gris_azulado);
  auto* draw3d2 = panel(this, "Draw3D2", {1, 0, 315, 169}, arena, Qt::white, crema, lima);
  auto* draw3d3 = panel(this, "Draw3D3", {316, 0, 317, 169}, arena, Qt::white, crema, lima);
  draw3d1->raise();  // la franja de abajo tapa la última fila de los dos paneles de arriba

  auto* label1 = etiqueta(draw3d1, "Label1", QStringLiteral("TransTamselBrelova V-1.0"), {8, 72, 165, 13},
                          fuente(11, true));
  QPalette rojo = label1->palette();
  rojo.setColor(QPalette::WindowText, Qt::red);
  label1->setPalette(rojo);
  label1->adjustSize();
  auto* salir = boton(draw3d1, "BClose", QStringLiteral("&Salir"), {256, 32, 89, 25}, glifo_salir());
  auto* ayuda1 = boton(draw3d1, "Button1", QStringLiteral("F1 Ayuda"), {48, 40, 75, 25});

  const QFont titular = fuente(16, true);
  auto* label3 = etiqueta(draw3d2, "Label3", QStringLiteral("Transformar datos desde Brelova hacia Tamsel "),
                          {24, 24, 265, 57}, titular);
  label3->setWordWrap(true);
  auto* exportar = boton(draw3d2, "BExportar", QStringLiteral("Aceptar"), {96, 120, 89, 25}, glifo_aceptar());

  auto* label4 = etiqueta(draw3d3, "Label4", QStringLiteral("Transformar datos desde Tamsel hacia Brelova"),
                          {8, 24, 305, 57}, titular);
  label4->setWordWrap(true);
  auto* importar = boton(draw3d3, "BImportar", QStringLiteral("Aceptar"), {96, 120, 89, 25}, glifo_aceptar());

  setTabOrder(salir, ayuda1);
  setTabOrder(ayuda1, exportar);
  setTabOrder(exportar, importar);

  connect(salir, &QPushButton::clicked, this, &QWidget::close);
  connect(ayuda1, &QPushButton::clicked, this, &TMForm::Button1Click);
  connect(exportar, &QPushButton::clicked, this, [this] { BExportarClick(); });
  connect(importar, &QPushButton::clicked, this, [this] { BImportarClick(); });

  auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);  // lo posee la ventana
  f1->setContext(Qt::WindowShortcut);
  connect(f1, &QShortcut::activated, this, [this] {
    const QWidget* foco = focusWidget() != nullptr ? focusWidget() : this;
    ayuda(foco->property(kPropiedadContexto).isValid() ? foco->property(kPropiedadContexto).toInt() : kContextoAyuda);
  });
}

void TMForm::FormCreate() {
  estado_.ResultadoTransformacion = 0;
  const auto& argumentos = entorno_.argumentos;
  if (!hay_anfitrion(argumentos)) {
    centrar();
    return;
  }
  std::uint32_t manejador = 0;
  try {
    manejador = convertir_manejador(argumentos[1]);
  } catch (const Error& e) {
    // Sin manejador la ventana sigue siendo una ventana corriente.
    interfaz_.error(e.what(), nullptr);
    centrar();
    return;
  }
  incrustar(manejador);
  estado_.ModoAnfitrion = 2;
}

void TMForm::centrar() {
  if (const QScreen* pantalla = QGuiApplication::primaryScreen()) {
    move(pantalla->availableGeometry().center() - QPoint(kAncho / 2, kAlto / 2));
  }
}

// En X11 la ventana pasa a ser hija, sin borde, de la ventana anfitriona. Donde no se puede
// (Wayland, la plataforma fuera de pantalla) o el manejador no nombra ninguna ventana, queda
// como ventana de primer nivel con su borde, y el modo anfitrión sigue valiendo.
void TMForm::incrustar(std::uint32_t manejador) {
  if (QGuiApplication::platformName() != QLatin1String("xcb")) {
    centrar();
    return;
  }
  auto x11 = ConexionX11::abrir();
  if (!x11 || !x11->vigilar(manejador)) {
    centrar();
    return;
  }
  std::unique_ptr<QWindow> anfitrion(QWindow::fromWinId(static_cast<WId>(manejador)));
  if (!anfitrion) {
    centrar();
    return;
  }
  setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
  winId();  // crea la ventana nativa
  windowHandle()->setParent(anfitrion.get());
  move(0, 0);
  x11_ = std::move(x11);
  anfitrion_ = std::move(anfitrion);
  vigilar_anfitrion();
}

// Cuando la ventana anfitriona desaparece, la ventana se cierra como si la cerrara el
// usuario: se escribe la bandera y el proceso acaba, en vez de seguir vivo sin verse.
void TMForm::vigilar_anfitrion() {
  auto* avisos = new QSocketNotifier(static_cast<qintptr>(x11_->descriptor()), QSocketNotifier::Read, this);
  avisos_ = avisos;  // lo posee la ventana
  connect(avisos, &QSocketNotifier::activated, this, [this] {
    if (x11_ && x11_->desaparecida()) {
      if (avisos_) avisos_->setEnabled(false);
      close();
    }
  });
  if (x11_->desaparecida()) QTimer::singleShot(0, this, &QWidget::close);
}

void TMForm::showEvent(QShowEvent* evento) {
  QWidget::showEvent(evento);
  if (mostrada_) return;
  mostrada_ = true;
  // La ejecución pedida empieza cuando la ventana ya se ve.
  QTimer::singleShot(0, this, &TMForm::FormShow);
}

void TMForm::FormShow() {
  const auto& argumentos = entorno_.argumentos;
  if (!hay_anfitrion(argumentos)) return;  // se cuenta de nuevo; el modo no se mira
  if (pide(argumentos, kImportar)) BImportarClick();
  if (pide(argumentos, kExportar)) BExportarClick();
}

bool TMForm::FormClose() {
  if (estado_.ModoAnfitrion != 2) return true;
  try {
    escribir_bandera(entorno_.bandera, estado_.ResultadoTransformacion);
  } catch (const Error& e) {
    interfaz_.error(e.what(), nullptr);
    return false;
  }
  return true;
}

void TMForm::closeEvent(QCloseEvent* evento) {
  if (terminada_) {
    evento->accept();
    return;
  }
  if (!FormClose()) {
    evento->ignore();  // la bandera no se pudo escribir: la ventana sigue abierta
    return;
  }
  evento->accept();
  if (estado_.ModoAnfitrion == 2) {
    terminada_ = true;
    if (entorno_.terminar) entorno_.terminar();
  }
}

Final TMForm::ejecutar(bool exportar) {
  if (terminada_) return Final::sin_archivo;
  if (entorno_.ejecutar) return entorno_.ejecutar(exportar);
  Ejecuciones ejecuciones(estado_, interfaz_, resolver_ruta_windows(kCarpetaTrabajo));
  return exportar ? ejecuciones.BExportarClick() : ejecuciones.BImportarClick();
}

Final TMForm::BExportarClick() { return ejecutar(true); }

Final TMForm::BImportarClick() { return ejecutar(false); }

void TMForm::Button1Click() { ayuda(0); }

void TMForm::ayuda(int contexto) {
  // El archivo se vuelve a buscar en cada petición.
  PeticionAyuda peticion{resolver_ruta_windows(kArchivoAyuda), contexto};
  std::error_code error;
  if (!std::filesystem::is_regular_file(peticion.archivo, error)) {
    interfaz_.error(queja_ayuda(peticion.archivo), nullptr);
    return;
  }
  if (entorno_.abrir_ayuda) entorno_.abrir_ayuda(peticion);
}

}  // namespace tts
