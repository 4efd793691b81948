// La línea de órdenes: el manejador leído como "$" + argumento, el modo que deja cada juego
// de argumentos y la ejecución que empieza al mostrarse la ventana.
#include <gtest/gtest.h>

#include <QScreen>

#include "app/anfitrion.h"
#include "comun/error.h"
#include "tests/ventana/montaje.h"

namespace tts::prueba {
namespace {

TEST(Argumentos, ElManejadorSeLeeComoHexadecimalConDolar) {
  struct Caso {
    const char* texto;
    std::optional<std::uint32_t> valor;  // nada: la conversión falla
  };
  const Caso casos[] = {
      {"1A2B", 0x1A2Bu},
      {"1a2b", 0x1A2Bu},
      {"0", 0u},
      {"FFFFFFFF", 0xFFFFFFFFu},
      {"00000000000000000000FFFFFFFF", 0xFFFFFFFFu},  // los ceros de delante no cuentan
      {"100000000", std::nullopt},                     // por encima de FFFFFFFF
      {"FFFFFFFFF", std::nullopt},
      {"", std::nullopt},
      {"0x1A2B", std::nullopt},
      {"$1A2B", std::nullopt},
      {"-1", std::nullopt},
      {"+1", std::nullopt},
      {" 1A2B", std::nullopt},
      {"1A2B ", std::nullopt},
      {"1A 2B", std::nullopt},
      {"1G", std::nullopt},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(std::string("'") + c.texto + "'");
    if (c.valor) {
      EXPECT_EQ(convertir_manejador(c.texto), *c.valor);
    } else {
      try {
        convertir_manejador(c.texto);
        ADD_FAILURE() << "se esperaba un Error";
      } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), std::string("'$") + c.texto + "' no es un valor entero válido");
      }
    }
  }
}

TEST(Argumentos, ElSentidoSoloDistingueMayusculasDeLaAALaZ) {
  EXPECT_EQ(minusculas_az("EXPORTAR"), "exportar");
  EXPECT_EQ(minusculas_az("ImPoRtAr"), "importar");
  EXPECT_EQ(minusculas_az("\xC9XPORTAR"), "\xC9xportar");  // É (Windows-1252) queda igual
  EXPECT_EQ(minusculas_az("EXPORTAR\xC3\x89"), "exportar\xC3\x89");
}

TEST(Argumentos, ModoYEjecucionSegunLosArgumentos) {
  struct Caso {
    const char* nombre;
    std::vector<std::string> argumentos;
    int modo;
    std::string error;                 // el parte de error de la creación, o nada
    std::vector<std::string> ejecuta;  // lo que empieza al mostrarse
  };
  const Caso casos[] = {
      {"ninguno", {}, 0, "", {}},
      {"uno", {"exportar"}, 0, "", {}},
      {"tres", {"exportar", "1A2B", "x"}, 0, "", {}},
      {"exportar en mayusculas", {"EXPORTAR", "1A2B"}, 2, "", {"exportar"}},
      {"importar", {"importar", "ff"}, 2, "", {"importar"}},
      {"importar con prefijo", {"importar", "0x1A2B"}, 0, "'$0x1A2B' no es un valor entero válido", {"importar"}},
      {"otra palabra", {"listar", "1A2B"}, 2, "", {}},
      {"por encima de FFFFFFFF", {"exportar", "100000000"}, 0, "'$100000000' no es un valor entero válido", {"exportar"}},
      {"con signo", {"exportar", "-1A2B"}, 0, "'$-1A2B' no es un valor entero válido", {"exportar"}},
      {"con blanco", {"exportar", "1A2B "}, 0, "'$1A2B ' no es un valor entero válido", {"exportar"}},
      {"manejador vacio", {"Exportar", ""}, 0, "'$' no es un valor entero válido", {"exportar"}},
      {"letra fuera de la A a la Z", {"\xC9XPORTAR", "1A2B"}, 2, "", {}},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    Montaje m;
    m.crear(c.argumentos, false);
    EXPECT_EQ(m.estado.ModoAnfitrion, c.modo);
    EXPECT_EQ(m.estado.ResultadoTransformacion, 0);
    EXPECT_EQ(m.interfaz.errores, c.error.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.error});
    EXPECT_TRUE(m.ejecutadas.empty()) << "nada empieza antes de mostrarse";
    // La plataforma fuera de pantalla no puede meter la ventana en otra: queda de primer
    // nivel y con borde, también en modo anfitrión.
    EXPECT_FALSE(m.ventana->incrustada());
    EXPECT_FALSE(m.ventana->windowFlags().testFlag(Qt::FramelessWindowHint));

    m.mostrar();
    EXPECT_EQ(m.ejecutadas, c.ejecuta);
    if (c.modo == 0) {  // la ventana corriente, centrada en la pantalla
      const QPoint centro = m.ventana->screen()->availableGeometry().center();
      EXPECT_LE((m.ventana->frameGeometry().center() - centro).manhattanLength(), 2);
    }
    m.ventana->hide();
    m.ventana->show();  // volver a mostrarse no repite la ejecución
    atender();
    EXPECT_EQ(m.ejecutadas, c.ejecuta);

    // Las ejecuciones falsas no cierran: la ventana sigue abierta hasta que el usuario la
    // cierra, y sólo el modo anfitrión escribe la bandera, con 0.
    EXPECT_TRUE(m.ventana->isVisible());
    EXPECT_TRUE(m.ventana->close());
    EXPECT_EQ(std::filesystem::exists(m.bandera()), c.modo == 2);
    EXPECT_EQ(m.terminaciones, c.modo == 2 ? 1 : 0);
    if (c.modo == 2) {
      EXPECT_EQ(leer_archivo(m.bandera()), "[Transformadores]\r\nTransformado=0\r\n");
    }
  }
}

}  // namespace
}  // namespace tts::prueba
