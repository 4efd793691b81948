#include "app/interfaz_qt.h"

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QWindow>

#include "app/ejecuciones/ejecuciones.h"
#include "comun/informe.h"
#include "tables/carpeta.h"

namespace tts {

namespace {

QString qtexto(std::string_view utf8) { return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())); }

// Los diálogos se centran sobre la ventana principal, salvo si está metida en la del
// anfitrión: entonces no es una ventana de primer nivel y no puede serles padre.
QWidget* padre_dialogos(QWidget* ventana) {
  if (ventana == nullptr) return nullptr;
  const QWindow* nativa = ventana->windowHandle();
  return nativa != nullptr && nativa->parent() != nullptr ? nullptr : ventana;
}

void caja(QWidget* padre, QMessageBox::Icon icono, std::string_view texto, const Informe* informe) {
  QMessageBox caja(icono, qtexto(kTituloAplicacion), qtexto(texto), QMessageBox::Ok, padre);
  if (informe != nullptr && !informe->vacio()) caja.setDetailedText(qtexto(informe->texto()));
  caja.exec();
}

}  // namespace

InterfazQt::~InterfazQt() { cursor_espera(false); }

std::optional<std::string> InterfazQt::pedir_archivo() {
  QFileDialog dialogo(padre_dialogos(ventana_), qtexto(kTituloDialogo));
  dialogo.setAcceptMode(QFileDialog::AcceptOpen);
  dialogo.setFileMode(QFileDialog::AnyFile);  // no se comprueba que el archivo exista
  dialogo.setNameFilter(QStringLiteral("*.xml"));
  dialogo.setDefaultSuffix(QStringLiteral("xml"));
  const auto inicial = resolver_ruta_windows(kCarpetaDialogo);
  dialogo.setDirectory(QFile::decodeName(inicial.string().c_str()));
  if (dialogo.exec() != QDialog::Accepted) return std::nullopt;
  const QStringList elegidos = dialogo.selectedFiles();
  if (elegidos.isEmpty()) return std::nullopt;
  return QFile::encodeName(elegidos.front()).toStdString();
}

void InterfazQt::mensaje(std::string_view texto, const Informe* informe) {
  caja(padre_dialogos(ventana_), QMessageBox::NoIcon, texto, informe);
}

void InterfazQt::error(std::string_view texto, const Informe* informe) {
  caja(padre_dialogos(ventana_), QMessageBox::Critical, texto, informe);
}

void InterfazQt::cursor_espera(bool activo) {
  if (activo == espera_) return;
  espera_ = activo;
  if (activo) {
    QApplication::setOverrideCursor(Qt::WaitCursor);
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void InterfazQt::cerrar_ventana() {
  if (ventana_) ventana_->close();
}

}  // namespace tts
