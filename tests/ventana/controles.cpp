// Los controles de la ventana: textos, sitios, fuentes, colores de los degradados, orden de
// tabulación, el acelerador de "&Salir" y a qué acción lleva cada botón.
#include <gtest/gtest.h>

#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "app/draw3d.h"
#include "tests/ventana/montaje.h"

namespace tts::prueba {
namespace {

template <typename T>
T* control(QWidget& ventana, const char* nombre) {
  auto* c = ventana.findChild<T*>(QString::fromLatin1(nombre));
  if (c == nullptr) ADD_FAILURE() << "falta el control " << nombre;
  return c;
}

TEST(Controles, LaVentanaTieneSuTituloSuTamanoFijoYSuBorde) {
  Montaje m;
  m.crear({}, false);
  TMForm& v = *m.ventana;
  EXPECT_EQ(v.windowTitle(), QString::fromUtf8("Exportar e importar datos entre Tamsel y Brelova"));
  EXPECT_EQ(v.objectName(), "MForm");
  EXPECT_EQ(v.size(), QSize(632, 266));
  EXPECT_EQ(v.minimumSize(), v.maximumSize());  // no se puede cambiar de tamaño
  EXPECT_FALSE(v.windowFlags().testFlag(Qt::FramelessWindowHint));
  EXPECT_EQ(v.font().pixelSize(), 11);
  EXPECT_EQ(v.property("contextoAyuda").toInt(), 3);
}

TEST(Controles, TextosSitiosYPadres) {
  struct Caso {
    const char* nombre;
    const char* padre;
    QRect sitio;
    const char* texto;  // nullptr en los paneles
  };
  const Caso casos[] = {
      {"Draw3D2", "MForm", {1, 0, 315, 169}, nullptr},
      {"Draw3D3", "MForm", {316, 0, 317, 169}, nullptr},
      {"Draw3D1", "MForm", {0, 168, 633, 97}, nullptr},
      {"Label3", "Draw3D2", {24, 24, 265, 57}, "Transformar datos desde Brelova hacia Tamsel "},
      {"BExportar", "Draw3D2", {96, 120, 89, 25}, "Aceptar"},
      {"Label4", "Draw3D3", {8, 24, 305, 57}, "Transformar datos desde Tamsel hacia Brelova"},
      {"BImportar", "Draw3D3", {96, 120, 89, 25}, "Aceptar"},
      {"BClose", "Draw3D1", {256, 32, 89, 25}, "&Salir"},
      {"Button1", "Draw3D1", {48, 40, 75, 25}, "F1 Ayuda"},
  };
  Montaje m;
  m.crear({}, false);
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    QWidget* w = control<QWidget>(*m.ventana, c.nombre);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->parentWidget()->objectName(), QString::fromLatin1(c.padre));
    EXPECT_EQ(w->geometry(), c.sitio);
    if (auto* b = qobject_cast<QPushButton*>(w)) {
      EXPECT_EQ(b->text(), QString::fromUtf8(c.texto));
      EXPECT_EQ(b->property("contextoAyuda").toInt(), 3);
      EXPECT_EQ(!b->icon().isNull(), std::string(c.nombre) != "Button1") << "sólo el botón corriente va sin glifo";
    } else if (auto* e = qobject_cast<QLabel*>(w)) {
      EXPECT_EQ(e->text(), QString::fromUtf8(c.texto));
      EXPECT_TRUE(e->wordWrap());
      EXPECT_EQ(e->font().pixelSize(), 16);
      EXPECT_TRUE(e->font().bold());
    }
  }
  // La etiqueta de la versión se ajusta a su texto desde su esquina.
  auto* label1 = control<QLabel>(*m.ventana, "Label1");
  ASSERT_NE(label1, nullptr);
  EXPECT_EQ(label1->text(), "TransTamselBrelova V-1.0");
  EXPECT_EQ(label1->parentWidget()->objectName(), "Draw3D1");
  EXPECT_EQ(label1->pos(), QPoint(8, 72));
  EXPECT_EQ(label1->font().pixelSize(), 11);
  EXPECT_TRUE(label1->font().bold());
  // En rojo tal como se pinta, no sólo en su paleta.
  QImage pintada(label1->size(), QImage::Format_RGB32);
  pintada.fill(Qt::white);
  label1->render(&pintada);
  int rojos = 0, oscuros = 0;
  for (int y = 0; y < pintada.height(); ++y) {
    for (int x = 0; x < pintada.width(); ++x) {
      const QColor c = pintada.pixelColor(x, y);
      if (c.red() > 200 && c.green() < 60 && c.blue() < 60) ++rojos;
      if (c.red() < 100 && c.green() < 100 && c.blue() < 100) ++oscuros;
    }
  }
  EXPECT_GT(rojos, 20);
  EXPECT_EQ(oscuros, 0);
}

TEST(Controles, LosPanelesPintanSuDegradadoDeArribaAbajo) {
  struct Caso {
    const char* nombre;
    QColor inicio, medio, fin;
  };
  const Caso casos[] = {
      {"Draw3D2", QColor(249, 211, 125), QColor(255, 255, 255), QColor(255, 238, 221)},
      {"Draw3D3", QColor(249, 211, 125), QColor(255, 255, 255), QColor(255, 238, 221)},
      {"Draw3D1", QColor(194, 205, 254), QColor(207, 242, 254), QColor(204, 216, 230)},
  };
  auto cerca = [](QColor a, QColor b) {
    return std::abs(a.red() - b.red()) <= 3 && std::abs(a.green() - b.green()) <= 3 && std::abs(a.blue() - b.blue()) <= 3;
  };
  Montaje m;
  m.crear({}, false);
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    auto* p = control<Draw3D>(*m.ventana, c.nombre);
    ASSERT_NE(p, nullptr);
    const QImage& imagen = p->imagen();
    ASSERT_EQ(imagen.size(), p->size());
    const int x = 2, h = imagen.height();
    EXPECT_TRUE(cerca(imagen.pixelColor(x, 0), c.inicio)) << imagen.pixelColor(x, 0).name().toStdString();
    EXPECT_TRUE(cerca(imagen.pixelColor(x, (h - 1) / 2), c.medio)) << imagen.pixelColor(x, (h - 1) / 2).name().toStdString();
    EXPECT_TRUE(cerca(imagen.pixelColor(x, h - 1), c.fin)) << imagen.pixelColor(x, h - 1).name().toStdString();
  }
  // Lo que se ve en pantalla es esa imagen: un punto del panel de exportación sin controles.
  m.mostrar();
  const QImage vista = m.ventana->grab().toImage();
  EXPECT_TRUE(cerca(vista.pixelColor(3, 0), QColor(249, 211, 125)));
  EXPECT_TRUE(cerca(vista.pixelColor(3, 264), QColor(204, 216, 230)));
}

TEST(Controles, OrdenDeTabulacion) {
  Montaje m;
  m.crear({}, false);
  std::vector<std::string> orden;
  QWidget* w = m.ventana.get();
  for (int i = 0; i < 50; ++i) {
    w = w->nextInFocusChain();
    if (w == m.ventana.get()) break;
    if (w->focusPolicy() & Qt::TabFocus) orden.push_back(w->objectName().toStdString());
  }
  EXPECT_EQ(orden, (std::vector<std::string>{"BClose", "Button1", "BExportar", "BImportar"}));
}

TEST(Controles, AltSCierraLaVentanaSinEscribirNada) {
  Montaje m;
  m.crear({}, false);
  m.mostrar();
  m.ventana->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m.ventana.get()));
  QTest::keyClick(m.ventana.get(), Qt::Key_S, Qt::AltModifier);
  // El acelerador pulsa el botón con su animación, que acaba un momento después.
  EXPECT_TRUE(QTest::qWaitFor([&] { return !m.ventana->isVisible(); }, 10000));
  EXPECT_FALSE(std::filesystem::exists(m.bandera()));
  EXPECT_EQ(m.terminaciones, 0);  // el proceso lo acaba Qt al cerrarse la última ventana
}

TEST(Controles, LosBotonesLlevanASusEjecuciones) {
  Montaje m;
  m.crear({}, false);
  m.mostrar();
  QTest::mouseClick(control<QPushButton>(*m.ventana, "BImportar"), Qt::LeftButton);
  QTest::mouseClick(control<QPushButton>(*m.ventana, "BExportar"), Qt::LeftButton);
  QTest::mouseClick(control<QPushButton>(*m.ventana, "BExportar"), Qt::LeftButton);
  EXPECT_EQ(m.ejecutadas, (std::vector<std::string>{"importar", "exportar", "exportar"}));
  EXPECT_TRUE(m.ventana->isVisible());
}

TEST(Controles, LaAyuda) {
  Montaje m;
  m.crear({}, false);
  m.mostrar();
  auto* boton_ayuda = control<QPushButton>(*m.ventana, "Button1");

  // Sin archivo: sólo la queja, que nombra dónde se buscó.
  QTest::mouseClick(boton_ayuda, Qt::LeftButton);
  ASSERT_EQ(m.interfaz.errores.size(), 1u);
  EXPECT_NE(m.interfaz.errores[0].find((m.carpeta / "drive_c").string()), std::string::npos) << m.interfaz.errores[0];
  EXPECT_NE(m.interfaz.errores[0].find("BRELOVA.HLP"), std::string::npos) << m.interfaz.errores[0];
  EXPECT_TRUE(m.ayudas.empty());

  // Con el archivo (con otras mayúsculas, como lo deja Windows): el índice con el botón, el
  // contexto 3 con F1.
  std::filesystem::create_directories(m.carpeta / "drive_c" / "TamDir");
  escribir_archivo(m.carpeta / "drive_c" / "TamDir" / "Brelova.hlp", "?_");
  QTest::mouseClick(boton_ayuda, Qt::LeftButton);
  m.ventana->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(m.ventana.get()));
  QTest::keyClick(m.ventana.get(), Qt::Key_F1);
  ASSERT_EQ(m.ayudas.size(), 2u);
  EXPECT_EQ(m.ayudas[0].archivo, m.carpeta / "drive_c" / "TamDir" / "Brelova.hlp");
  EXPECT_EQ(m.ayudas[0].contexto, 0);
  EXPECT_EQ(m.ayudas[1].contexto, 3);
  EXPECT_EQ(m.interfaz.errores.size(), 1u);
}

}  // namespace
}  // namespace tts::prueba
