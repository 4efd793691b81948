// Tablas dañadas: el lector no se fía de la cabecera y lo dice con el nombre de la tabla.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "comun/error.h"
#include "tables/tabla.h"
#include "tests/apoyo/apoyo.h"

namespace tts {
namespace {

using prueba::CarpetaTemporal;

void poner_u16(std::string& b, std::size_t p, unsigned v) {
  b[p] = static_cast<char>(v & 0xFF);
  b[p + 1] = static_cast<char>(v >> 8);
}

// Una SOLUC buena de dos campos (C 4, N 11) y dos registros.
std::string tabla_buena(const CarpetaTemporal& tmp) {
  const auto ruta = tmp / "BUENA.DBF";
  Tabla::crear(ruta, std::vector<DefinicionCampo>{DefinicionCampo::caracter("PROF", 4), DefinicionCampo::entero("DIA")});
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    for (int i = 1; i <= 2; ++i) {
      t.anadir();
      t.poner("PROF", "P" + std::to_string(i));
      t.poner("DIA", i);
      t.grabar();
    }
  }
  return prueba::leer_archivo(ruta);
}

std::string error_al_abrir(const std::filesystem::path& ruta) {
  try {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    for (; !t.fin(); t.siguiente()) (void)t.texto("PROF");
  } catch (const Error& e) {
    return e.what();
  }
  return "";
}

TEST(TablaDanada, CadaContradiccionDeLaCabeceraEsUnErrorConNombre) {
  CarpetaTemporal tmp;
  const std::string buena = tabla_buena(tmp);
  ASSERT_EQ(buena.size(), 32u + 64 + 1 + 2 * 16 + 1);
  struct Caso {
    const char* regla;
    std::function<void(std::string&)> estropear;
    const char* motivo;
  };
  const std::vector<Caso> casos = {
      {"cabecera truncada", [](std::string& b) { b.resize(20); }, "la cabecera está incompleta"},
      {"longitud de cabecera menor que sus descriptores", [](std::string& b) { poner_u16(b, 8, 32 + 32 + 1); },
       "es menor que sus descripciones de campo"},
      {"longitud de cabecera que pasa del archivo", [](std::string& b) { poner_u16(b, 8, 5000); },
       "pasa del final del archivo"},
      {"longitud de registro que no suma", [](std::string& b) { poner_u16(b, 10, 17); },
       "la longitud de registro (17) no es la de sus campos (16)"},
      {"registros que pasan del final", [](std::string& b) { b[4] = 3; },
       "los 3 registros que anuncia la cabecera pasan del final del archivo"},
      {"número de registros enorme", [](std::string& b) { b[7] = '\x7F'; }, "pasan del final del archivo"},
      {"sin campos",
       [](std::string& b) {
         b = b.substr(0, 32) + "\x0D\x1A";
         poner_u16(b, 8, 33);
         poner_u16(b, 10, 1);
         b[4] = 0;
       },
       "no tiene campos"},
      {"sin fin de descriptores",
       [](std::string& b) {
         b[96] = 'X';
       },
       "es menor que sus descripciones de campo"},
      {"entero de 4 bytes con otra longitud",
       [](std::string& b) {
         b[32 + 32 + 11] = 'I';  // DIA pasa a I de 11 bytes
         b[0] = 0x30;
       },
       "el campo DIA de tipo I mide 11 bytes y no 4"},
      {"dBase 7: descriptores de 48 bytes que no caben", [](std::string& b) { b[0] = 0x04; },
       "es menor que sus descripciones de campo"},
  };
  for (const auto& c : casos) {
    std::string b = buena;
    c.estropear(b);
    const auto ruta = tmp / "SOLUC.DBF";
    prueba::escribir_archivo(ruta, b);
    const std::string m = error_al_abrir(ruta);
    EXPECT_EQ(m.rfind("La tabla SOLUC.DBF está dañada: ", 0), 0u) << c.regla << ": " << m;
    EXPECT_NE(m.find(c.motivo), std::string::npos) << c.regla << ": " << m;
  }
}

TEST(TablaDanada, CadaPrefijoDeUnaTablaBuenaSeLeeOSeRechaza) {
  CarpetaTemporal tmp;
  const std::string buena = tabla_buena(tmp);
  const auto ruta = tmp / "SOLUC.DBF";
  const std::size_t datos = buena.size() - 1;  // sin la marca de fin de archivo sigue siendo buena
  for (std::size_t n = 0; n < buena.size(); ++n) {
    prueba::escribir_archivo(ruta, std::string_view(buena).substr(0, n));
    const std::string m = error_al_abrir(ruta);
    if (n < datos) {
      EXPECT_EQ(m.rfind("La tabla SOLUC.DBF está dañada: ", 0), 0u) << n << ": " << m;
    } else {
      EXPECT_EQ(m, "") << n;
    }
  }
}

// Cambiar cualquier byte de una tabla por un valor extremo da una tabla que se lee o un
// Error, nunca una lectura fuera del archivo (lo vigila la construcción con sanitizadores).
TEST(TablaDanada, UnByteCambiadoNuncaHaceLeerFuera) {
  CarpetaTemporal tmp;
  const std::vector<std::string> originales = {tabla_buena(tmp), prueba::leer_archivo(prueba::fixture("tablas/soluc.dbf")),
                                               prueba::leer_archivo(prueba::fixture("tablas/vfp.dbf")),
                                               prueba::leer_archivo(prueba::fixture("tablas/dbase7.dbf"))};
  const auto ruta = tmp / "SOLUC.DBF";
  std::size_t leidas = 0, rechazadas = 0;
  for (const std::string& original : originales) {
    // Los bytes que el lector interpreta: la cabecera fija y, de cada descriptor, el tipo,
    // la longitud y los decimales, y la marca de fin de descriptores.
    const bool dbase7 = original[0] == 0x04;
    const std::size_t inicio = dbase7 ? 68 : 32, paso = dbase7 ? 48 : 32;
    std::vector<std::size_t> posiciones;
    for (std::size_t p = 0; p < inicio; ++p) posiciones.push_back(p);
    std::size_t d = inicio;
    for (; d < original.size() && original[d] != 0x0D; d += paso)
      for (std::size_t o : dbase7 ? std::vector<std::size_t>{32, 33, 34} : std::vector<std::size_t>{11, 16, 17})
        posiciones.push_back(d + o);
    posiciones.push_back(d);
    for (std::size_t p : posiciones) {
      for (unsigned char v : {0x00, 0x01, 0x0D, 0x80, 0xFF}) {
        std::string b = original;
        b[p] = static_cast<char>(v);
        prueba::escribir_archivo(ruta, b);
        try {
          Tabla t = Tabla::abrir(ruta, Modo::compartido);
          for (; !t.fin(); t.siguiente()) {
            for (const auto& c : t.campos()) {
              (void)t.texto(c.nombre);
              try {
                (void)t.entero(c.nombre);
              } catch (const Error&) {
              }
              try {
                (void)t.flotante(c.nombre);
              } catch (const Error&) {
              }
            }
          }
          ++leidas;
        } catch (const Error& e) {
          EXPECT_NE(std::string(e.what()).find("SOLUC.DBF"), std::string::npos) << e.what();
          ++rechazadas;
        }
      }
    }
  }
  EXPECT_GT(leidas, 0u);
  EXPECT_GT(rechazadas, 0u);
}

}  // namespace
}  // namespace tts
