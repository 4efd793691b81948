// Una importación que falla no deja archivo de resultado ni temporal, y un resultado
// anterior queda byte a byte como estaba.
#include <gtest/gtest.h>

#include <unistd.h>

#include <functional>
#include <set>

#include "comun/error.h"
#include "import/importacion.h"
#include "tests/apoyo/apoyo.h"
#include "tests/import/apoyo_importacion.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;
using prueba::Escuela;

Escuela escuela_pequena() {
  Escuela e;
  e.proft = {{"AB", "1001", "01/09/1996"}};
  e.asigt = {{"MAT", "1A", "M1", "C1"}};
  e.asignomt = {{"MAT", ""}};
  e.diashorast = {{"11", "1", "T1", "08:00", "08:55"}};
  e.grupost = {{"1A", "U1"}};
  e.soluc = {{"AB", "1", "1", "MAT", "1A", "A1"}};
  return e;
}

std::set<std::string> nombres_en(const fs::path& carpeta) {
  std::set<std::string> n;
  for (const auto& e : fs::directory_iterator(carpeta)) n.insert(e.path().filename().string());
  return n;
}

TEST(ImportacionFallida, NoDejaResultadoYConservaElAnterior) {
  struct Caso {
    const char* nombre;
    std::function<void(Escuela&)> cambio;
    std::string origen;
    const char* mensaje;  // parte del mensaje
  };
  const std::string origen = prueba::origen_xml();
  const Caso casos[] = {
      {"falta un campo de SOLUC", [](Escuela& e) { e.sin_campo = "SOLUC.DIA"; }, origen,
       "wwTableSoluc: No se encuentra el campo 'DIA'"},
      {"falta un campo de DIASHORAST", [](Escuela& e) { e.sin_campo = "DIASHORAST.HORAHASTA"; }, origen,
       "wwTableTramos: No se encuentra el campo 'HORAHASTA'"},
      {"falta un campo de PROFT", [](Escuela& e) { e.sin_campo = "PROFT.ABREV"; }, origen,
       "wwTableProfesor: No se encuentra el campo 'ABREV'"},
      {"DIA que no es un número",
       [](Escuela& e) {
         e.soluc_numerica = false;
         e.soluc.push_back({"AB", "x", "1", "MAT", "1A", ""});
       },
       origen, "'x' no es un valor entero válido"},
      {"HORA que no es un número",
       [](Escuela& e) {
         e.soluc_numerica = false;
         e.soluc.push_back({"AB", "1", "1a", "MAT", "1A", ""});
       },
       origen, "'1a' no es un valor entero válido"},
      {"hora de inicio que no es una hora", [](Escuela& e) { e.diashorast = {{"11", "1", "T1", "ab:00", "08:55"}}; },
       origen, "'ab' no es un valor entero válido"},
      {"origen sin BLOQUE_DATOS", [](Escuela&) {},
       "<?xml version=\"1.0\"?><SERVICIO><grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2023</dato></grupo_datos></SERVICIO>",
       "/SERVICIO/BLOQUE_DATOS"},
      {"origen con otra raíz", [](Escuela&) {},
       "<OTRO><BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2023</dato></grupo_datos></BLOQUE_DATOS></OTRO>",
       "/SERVICIO/BLOQUE_DATOS"},
      {"año que no es un número", [](Escuela&) {}, prueba::origen_xml("2023-24"), "El año académico '2023-24'"},
      {"sin año", [](Escuela&) {}, prueba::origen_xml(""), "No se encuentra el año académico"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    CarpetaTemporal carpeta;
    Escuela e = escuela_pequena();
    c.cambio(e);
    e.escribir(carpeta.ruta());
    const auto resultado = carpeta / "ResultadoTamsoorigen.xml";

    for (const bool con_anterior : {false, true}) {
      const std::string anterior = "<anterior/>\n";
      if (con_anterior) prueba::escribir_archivo(resultado, anterior);
      const auto antes = nombres_en(carpeta.ruta());
      Informe informe;
      try {
        prueba::importar_en(carpeta.ruta(), c.origen, informe);
        ADD_FAILURE() << "sin error";
      } catch (const Error& err) {
        EXPECT_NE(std::string(err.what()).find(c.mensaje), std::string::npos) << err.what();
      }
      auto despues = nombres_en(carpeta.ruta());
      despues.erase("origen.xml");
      auto esperados = antes;
      esperados.erase("origen.xml");
      EXPECT_EQ(despues, esperados);
      if (con_anterior)
        EXPECT_EQ(prueba::leer_archivo(resultado), anterior);
      else
        EXPECT_FALSE(fs::exists(resultado));
    }
  }
}

// El guardado que falla: el nombre del resultado lo ocupa una carpeta (el renombrado no
// puede sustituirla), la carpeta de destino no existe o no se puede escribir en ella.
TEST(ImportacionFallida, GuardadoQueFalla) {
  CarpetaTemporal carpeta;
  escuela_pequena().escribir(carpeta.ruta());
  Componentes c;
  CierreComponentes cierre(c);
  prueba::abrir_componentes(c, carpeta.ruta());

  const auto importar_con_origen = [&](const fs::path& origen) {
    Documento d;
    d.cargar_memoria(prueba::origen_xml(), "origen.xml");
    Informe informe;
    importar(d, c, origen, informe, prueba::kInstante);
  };

  {
    SCOPED_TRACE("el nombre del resultado es una carpeta");
    CarpetaTemporal destino;
    fs::create_directory(destino / "ResultadoTamsoorigen.xml");
    prueba::escribir_archivo(destino / "ResultadoTamsoorigen.xml" / "dentro", "x");
    EXPECT_THROW(importar_con_origen(destino / "origen.xml"), Error);
    EXPECT_EQ(nombres_en(destino.ruta()), std::set<std::string>{"ResultadoTamsoorigen.xml"});
    EXPECT_EQ(prueba::leer_archivo(destino / "ResultadoTamsoorigen.xml" / "dentro"), "x");
  }
  {
    SCOPED_TRACE("la carpeta de destino no existe");
    CarpetaTemporal destino;
    try {
      importar_con_origen(destino / "no-existe" / "origen.xml");
      ADD_FAILURE() << "sin error";
    } catch (const Error& e) {
      EXPECT_NE(std::string(e.what()).find("no-existe"), std::string::npos) << e.what();
    }
    EXPECT_TRUE(fs::is_empty(destino.ruta()));
  }
  if (::geteuid() != 0) {
    SCOPED_TRACE("carpeta de destino sin permiso de escritura");
    CarpetaTemporal destino;
    prueba::escribir_archivo(destino / "ResultadoTamsoorigen.xml", "anterior");
    fs::permissions(destino.ruta(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_THROW(importar_con_origen(destino / "origen.xml"), Error);
    fs::permissions(destino.ruta(), fs::perms::owner_all);
    EXPECT_EQ(nombres_en(destino.ruta()), std::set<std::string>{"ResultadoTamsoorigen.xml"});
    EXPECT_EQ(prueba::leer_archivo(destino / "ResultadoTamsoorigen.xml"), "anterior");
  }
}

}  // namespace
}  // namespace tts
