// El modo anfitrión con las ejecuciones de verdad detrás de una Interfaz falsa: cómo acaba
// cada ejecución, la bandera que queda y si la ventana se cierra.
#include <gtest/gtest.h>

#include "tests/ventana/montaje.h"

namespace tts::prueba {
namespace {

TEST(Anfitrion, SinArchivoLaBanderaEsMenosUnoYLaVentanaSeCierra) {
  for (const char* sentido : {"exportar", "IMPORTAR"}) {
    SCOPED_TRACE(sentido);
    Montaje m;
    std::filesystem::create_directories(m.trabajo());
    escribir_archivo(m.bandera(), "[Tamsel]\r\nVersion=5\r\n");
    m.crear({sentido, "1A2B"}, true);
    m.mostrar();  // el usuario cancela el diálogo y no había archivo de antes
    EXPECT_EQ(m.interfaz.dialogos, 1);
    EXPECT_EQ(m.interfaz.mensajes, (std::vector<std::string>{"No existe archivo"}));
    EXPECT_EQ(m.estado.ResultadoTransformacion, -1);
    EXPECT_FALSE(m.ventana->isVisible());
    EXPECT_EQ(m.terminaciones, 1);
    EXPECT_EQ(leer_archivo(m.bandera()), "[Tamsel]\r\nVersion=5\r\n[Transformadores]\r\nTransformado=-1\r\n");
  }
}

TEST(Anfitrion, UnaExportacionCompletaDejaUno) {
  Montaje m;
  std::filesystem::create_directories(m.trabajo());
  const auto xml = m.carpeta / "centro.xml";
  std::filesystem::copy_file(fixture("real/exportacion-real.xml"), xml);
  escribir_archivo(m.bandera(), "; de Tamsel\n[Transformadores]\nTransformado=0\nOtro=7\n");
  m.interfaz.respuestas.push_back(xml.string());
  m.crear({"exportar", "1A2B"}, true);
  m.mostrar();
  EXPECT_EQ(m.interfaz.errores, std::vector<std::string>{});
  EXPECT_EQ(m.interfaz.mensajes, (std::vector<std::string>{"Proceso finalizado"}));
  EXPECT_EQ(m.estado.ArchivoXML, xml.string());
  EXPECT_EQ(m.estado.ResultadoTransformacion, 1);
  EXPECT_FALSE(m.ventana->isVisible());
  EXPECT_EQ(m.terminaciones, 1);
  EXPECT_EQ(leer_archivo(m.bandera()), "; de Tamsel\n[Transformadores]\nTransformado=1\nOtro=7\n");
}

TEST(Anfitrion, UnaEjecucionFallidaDejaLaVentanaAbiertaYElValor) {
  Montaje m;  // sin carpeta de trabajo: la exportación falla
  const auto xml = m.carpeta / "centro.xml";
  std::filesystem::copy_file(fixture("real/exportacion-real.xml"), xml);
  m.interfaz.respuestas.push_back(xml.string());
  m.crear({"exportar", "1A2B"}, true);
  m.mostrar();
  EXPECT_EQ(m.interfaz.errores.size(), 1u);
  EXPECT_EQ(m.interfaz.mensajes, std::vector<std::string>{});
  EXPECT_EQ(m.estado.ResultadoTransformacion, 0);
  EXPECT_EQ(m.estado.ModoAnfitrion, 2);
  EXPECT_TRUE(m.ventana->isVisible());
  EXPECT_FALSE(std::filesystem::exists(m.bandera()));
  EXPECT_EQ(m.terminaciones, 0);

  // El usuario cierra: se escribe el valor que quedó.
  EXPECT_TRUE(m.ventana->close());
  EXPECT_EQ(leer_archivo(m.bandera()), "[Transformadores]\r\nTransformado=0\r\n");
  EXPECT_EQ(m.terminaciones, 1);
}

TEST(Anfitrion, SiLaBanderaNoSePuedeEscribirElCierreSeAbandona) {
  Montaje m;
  m.crear({"listar", "1A2B"}, false);
  // La carpeta del programa es un archivo: no se puede crear nada dentro.
  escribir_archivo(m.carpeta / "programa", "");
  Entorno entorno;
  entorno.argumentos = {"listar", "1A2B"};
  entorno.bandera = m.carpeta / "programa" / "Tamsel.ini";
  entorno.terminar = [&] { ++m.terminaciones; };
  m.ventana = std::make_unique<TMForm>(m.estado, m.interfaz, std::move(entorno));
  m.mostrar();
  EXPECT_FALSE(m.ventana->close());
  EXPECT_TRUE(m.ventana->isVisible());
  ASSERT_EQ(m.interfaz.errores.size(), 1u);
  EXPECT_EQ(m.interfaz.errores[0], "No se puede escribir en " + (m.carpeta / "programa" / "Tamsel.ini").string());
  EXPECT_EQ(m.terminaciones, 0);
}

}  // namespace
}  // namespace tts::prueba
