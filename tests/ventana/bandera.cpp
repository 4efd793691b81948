// La bandera de Tamsel.ini: sólo cambia la clave; lo demás del archivo queda byte a byte.
#include <gtest/gtest.h>

#include <unistd.h>

#include "app/bandera.h"
#include "comun/error.h"
#include "tests/apoyo/apoyo.h"

namespace tts::prueba {
namespace {

TEST(Bandera, SoloCambiaLaClave) {
  struct Caso {
    const char* nombre;
    std::string antes;
    int valor;
    std::string despues;
  };
  const Caso casos[] = {
      {"archivo nuevo, con finales de Windows", "", 1, "[Transformadores]\r\nTransformado=1\r\n"},
      {"otras secciones y comentarios; la sección se añade al final con sus finales de línea",
       "; Tamsel\n[Tamsel]\nRuta=C:\\TAMDIR\n\n[Otra]\nA = 1\n", -1,
       "; Tamsel\n[Tamsel]\nRuta=C:\\TAMDIR\n\n[Otra]\nA = 1\n[Transformadores]\nTransformado=-1\n"},
      {"la clave ya está: sólo cambia lo que sigue al igual",
       "[Otra]\r\nX=1\r\n[Transformadores]\r\nAntes=2\r\nTransformado = 1  \r\nDespues=3\r\n", 0,
       "[Otra]\r\nX=1\r\n[Transformadores]\r\nAntes=2\r\nTransformado =0\r\nDespues=3\r\n"},
      {"sección y clave con otras mayúsculas", "[ TRANSFORMADORES ]\ntransformado=-1\n", 1,
       "[ TRANSFORMADORES ]\ntransformado=1\n"},
      {"la sección sin la clave: va tras su última clave, antes de blancos y comentarios", "[Transformadores]\nOtro=1\n\n; fin\n[Otra]\nB=2\n", 1,
       "[Transformadores]\nOtro=1\nTransformado=1\n\n; fin\n[Otra]\nB=2\n"},
      {"la sección al final sin salto de línea", "[Transformadores]\r\nOtro=1", 1,
       "[Transformadores]\r\nOtro=1\r\nTransformado=1\r\n"},
      {"archivo sin salto final y sin la sección", "[Otra]\nB=2", 1, "[Otra]\nB=2\n[Transformadores]\nTransformado=1\n"},
      {"una clave comentada no es la clave", "[Transformadores]\n;Transformado=5\n", 1,
       "[Transformadores]\nTransformado=1\n;Transformado=5\n"},
      {"la misma clave en otra sección no cuenta", "[Otra]\nTransformado=7\n", 1,
       "[Otra]\nTransformado=7\n[Transformadores]\nTransformado=1\n"},
      {"una clave que sólo empieza igual no es la clave", "[Transformadores]\nTransformados=4\n", -1,
       "[Transformadores]\nTransformados=4\nTransformado=-1\n"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    EXPECT_EQ(poner_bandera(c.antes, c.valor), c.despues);
  }
}

TEST(Bandera, ElArchivo) {
  CarpetaTemporal carpeta;
  // Nuevo.
  EXPECT_EQ(ruta_bandera(carpeta.ruta()), carpeta / "Tamsel.ini");
  escribir_bandera(carpeta / "Tamsel.ini", -1);
  EXPECT_EQ(leer_archivo(carpeta / "Tamsel.ini"), "[Transformadores]\r\nTransformado=-1\r\n");

  // Existente, escrito con otras mayúsculas: es el mismo archivo.
  std::filesystem::remove(carpeta / "Tamsel.ini");
  escribir_archivo(carpeta / "TAMSEL.INI", "[Tamsel]\r\nA=\xE1\r\n[Transformadores]\r\nTransformado=0\r\n");
  const auto ini = ruta_bandera(carpeta.ruta());
  EXPECT_EQ(ini, carpeta / "TAMSEL.INI");
  escribir_bandera(ini, 1);
  EXPECT_EQ(leer_archivo(ini), "[Tamsel]\r\nA=\xE1\r\n[Transformadores]\r\nTransformado=1\r\n");
}

TEST(Bandera, UnaCarpetaDondeNoSePuedeEscribir) {
  CarpetaTemporal carpeta;
  std::vector<std::filesystem::path> carpetas{carpeta / "no-existe"};
  escribir_archivo(carpeta / "es-un-archivo", "");
  carpetas.push_back(carpeta / "es-un-archivo");
  if (geteuid() != 0) {  // root escribe aunque falte el permiso
    std::filesystem::create_directory(carpeta / "solo-lectura");
    std::filesystem::permissions(carpeta / "solo-lectura", std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    carpetas.push_back(carpeta / "solo-lectura");
  }
  for (const auto& c : carpetas) {
    SCOPED_TRACE(c.string());
    const auto ini = c / "Tamsel.ini";
    try {
      escribir_bandera(ini, 1);
      ADD_FAILURE() << "se esperaba un Error";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), "No se puede escribir en " + ini.string());
    }
  }
}

}  // namespace
}  // namespace tts::prueba
