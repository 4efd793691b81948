// Bloqueos entre procesos: otro proceso (Python con fcntl F_OFD_SETLK, como los bloqueos que
// Wine pone por un programa de Windows) frente a nuestras aperturas, en los dos sentidos.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "comun/error.h"
#include "tables/componentes.h"
#include "tables/tabla.h"
#include "tests/apoyo/apoyo.h"
#include "tests/tables/bloqueador.h"

namespace tts {
namespace {

using prueba::Bloqueador;
using prueba::CarpetaTemporal;
using prueba::otro_puede_bloquear;

std::string error_al_abrir(const std::filesystem::path& ruta, Modo modo) {
  try {
    Tabla t = Tabla::abrir(ruta, modo);
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

const std::vector<DefinicionCampo> kCampos = {DefinicionCampo::caracter("PROF", 4)};

TEST(Bloqueo, OtroProcesoFrenteANuestraApertura) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "SOLUC.DBF";
  Tabla::crear(ruta, kCampos);
  const std::string en_uso = "La tabla " + ruta.string() + " está en uso por otro programa";
  struct Caso {
    const char* regla;
    bool suyo_exclusivo;
    Modo nuestro;
    bool abre;
  };
  const Caso casos[] = {
      {"él exclusivo, nosotros exclusivo", true, Modo::exclusivo, false},
      {"él exclusivo, nosotros compartido", true, Modo::compartido, false},
      {"él compartido, nosotros exclusivo", false, Modo::exclusivo, false},
      {"él compartido, nosotros compartido", false, Modo::compartido, true},
  };
  for (const auto& c : casos) {
    {
      Bloqueador otro(ruta, c.suyo_exclusivo);
      EXPECT_EQ(error_al_abrir(ruta, c.nuestro), c.abre ? "" : en_uso) << c.regla;
    }
    EXPECT_EQ(error_al_abrir(ruta, c.nuestro), "") << c.regla << ": al acabar el otro, se abre";
  }
}

TEST(Bloqueo, NuestraAperturaFrenteAOtroProceso) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "PROFT.DBF";
  Tabla::crear(ruta, kCampos);
  struct Caso {
    const char* regla;
    Modo nuestro;
    bool suyo_exclusivo;
    bool puede;
  };
  const Caso casos[] = {
      {"nosotros exclusivo, él exclusivo", Modo::exclusivo, true, false},
      {"nosotros exclusivo, él compartido", Modo::exclusivo, false, false},
      {"nosotros compartido, él exclusivo", Modo::compartido, true, false},
      {"nosotros compartido, él compartido", Modo::compartido, false, true},
  };
  for (const auto& c : casos) {
    {
      Tabla t = Tabla::abrir(ruta, c.nuestro);
      EXPECT_EQ(otro_puede_bloquear(ruta, c.suyo_exclusivo), c.puede) << c.regla;
    }
    EXPECT_TRUE(otro_puede_bloquear(ruta, true)) << c.regla << ": el destructor suelta el bloqueo";
  }
}

TEST(Bloqueo, DosAperturasDelMismoProcesoSeExcluyen) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "ASIGT.DBF";
  Tabla::crear(ruta, kCampos);
  Tabla a = Tabla::abrir(ruta, Modo::exclusivo);
  EXPECT_NE(error_al_abrir(ruta, Modo::compartido), "");
  a.cerrar();
  EXPECT_TRUE(otro_puede_bloquear(ruta, true));
  EXPECT_EQ(error_al_abrir(ruta, Modo::exclusivo), "");
}

TEST(Bloqueo, UnErrorQueAtraviesaLaTablaSueltaElBloqueo) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "GRUPOST.DBF";
  Tabla::crear(ruta, kCampos);
  try {
    Tabla t = Tabla::abrir(ruta, Modo::exclusivo);
    (void)t.texto("NOHAY");
  } catch (const Error&) {
  }
  EXPECT_TRUE(otro_puede_bloquear(ruta, true));
  // Una tabla dañada también suelta el archivo que abrió.
  prueba::escribir_archivo(ruta, "\x03roto");
  EXPECT_NE(error_al_abrir(ruta, Modo::exclusivo).find("dañada"), std::string::npos);
  EXPECT_TRUE(otro_puede_bloquear(ruta, true));
}

}  // namespace
}  // namespace tts
