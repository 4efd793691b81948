// Tablas que escribimos, leídas por lectores independientes; tablas que escribieron otros
// (python3-dbf, o bytes hechos a mano para las variantes que no escribe), leídas por nosotros.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "comun/error.h"
#include "tables/tabla.h"
#include "tests/apoyo/apoyo.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;
using prueba::comillas;

TEST(Interoperabilidad, DbfreadLeeLoQueEscribimos) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "ASIGT.DBF";
  Tabla::crear(ruta, std::vector<DefinicionCampo>{DefinicionCampo::caracter("NOMBRE", 6), DefinicionCampo::entero("NUM"),
                                                  DefinicionCampo::flotante("PESO")});
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    t.anadir();
    t.poner("NOMBRE", "A\xF1o \x80");  // "Año €" en Windows-1252
    t.poner("NUM", -42);
    t.poner_flotante("PESO", -2.5);
    t.grabar();
    t.anadir();
    t.poner("NOMBRE", "Matem\xE1ticas");  // se corta a 6
    t.poner("NUM", 2147483647);
    t.poner_flotante("PESO", 1234.0625);
    t.grabar();
    t.anadir();  // todo vacío
    t.grabar();
  }
  const auto salida = prueba::python(R"(
import json, sys, dbfread
t = dbfread.DBF(sys.argv[1])
print(t.encoding)
print(json.dumps([[f.name, f.type, f.length, f.decimal_count] for f in t.fields]))
print(json.dumps([list(r.values()) for r in t], ensure_ascii=False))
)",
                                     comillas(ruta.string()));
  ASSERT_EQ(salida.codigo, 0) << salida.errores;
  EXPECT_EQ(salida.texto,
            "cp1252\n"
            "[[\"NOMBRE\", \"C\", 6, 0], [\"NUM\", \"N\", 11, 0], [\"PESO\", \"N\", 20, 4]]\n"
            "[[\"Año €\", -42, -2.5], [\"Matemá\", 2147483647, 1234.0625], [\"\", null, null]]\n");
}

TEST(Interoperabilidad, PythonDbfLeeLaEstructuraYLosValores) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "DIASHORAST2.DBF";
  Tabla::crear(ruta, std::vector<DefinicionCampo>{DefinicionCampo::caracter("DIHO", 10), DefinicionCampo::entero("ORDEN")},
               std::vector<DefinicionIndice>{{"ORDEN", "ORDEN"}});
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    for (int v : {600, -5}) {
      t.anadir();
      t.poner("DIHO", "1" + std::to_string(v));
      t.poner("ORDEN", v);
      t.grabar();
    }
  }
  const auto salida = prueba::python(R"(
import sys, dbf
t = dbf.Table(sys.argv[1], codepage='cp1252')
t.open()
print(t.structure())
print([[str(v).strip() for v in r] for r in t])
)",
                                     comillas(ruta.string()));
  ASSERT_EQ(salida.codigo, 0) << salida.errores;
  EXPECT_EQ(salida.texto, "['diho C(10)', 'orden N(11,0)']\n[['1600', '600'], ['1-5', '-5']]\n");
}

TEST(Interoperabilidad, LeemosSolucDeDBaseIII) {
  struct Fila {
    std::string prof;
    int dia, hora;
    std::string asig, grupo, aula;
  };
  const std::vector<Fila> esperadas = {{"P01", 1, 1, "MAT", "1ESOA", "A\xF1o 1"},
                                       {"P02", 2, 3, "LEN", "1ESOB", ""},
                                       {"P01", 0, 4, "O'NEIL", "2ESOA", "LAB"}};  // el borrado no se ve
  Tabla t = Tabla::abrir(prueba::fixture("tablas/soluc.dbf"), Modo::compartido, "wwTableSoluc");
  EXPECT_EQ(t.cuantos(), esperadas.size());
  for (const auto& e : esperadas) {
    ASSERT_FALSE(t.fin());
    EXPECT_EQ(t.texto("PROF"), e.prof);
    EXPECT_EQ(t.entero("DIA"), e.dia);
    EXPECT_EQ(t.texto("DIA"), std::to_string(e.dia));
    EXPECT_EQ(t.entero("HORA"), e.hora);
    EXPECT_EQ(t.texto("ASIG"), e.asig);
    EXPECT_EQ(t.texto("CODGRUPO"), e.grupo);
    EXPECT_EQ(t.texto("AULA"), e.aula);
    t.siguiente();
  }
  EXPECT_TRUE(t.fin());
  t.filtrar("PROF", "P01");
  EXPECT_EQ(t.cuantos(), 2u);  // sin el registro borrado
  t.filtrar("ASIG", "BORRADO");
  EXPECT_EQ(t.cuantos(), 0u);
}

TEST(Interoperabilidad, CadaByteDeVersionConDescriptoresDe32Bytes) {
  // La misma SOLUC con el byte de versión de cada variante que comparte su disposición.
  const std::string original = prueba::leer_archivo(prueba::fixture("tablas/soluc.dbf"));
  CarpetaTemporal tmp;
  for (unsigned char version : {0x02, 0x03, 0x83, 0x8B, 0x30, 0x31, 0x32, 0xF5}) {
    std::string b = original;
    b[0] = static_cast<char>(version);
    const auto ruta = tmp / "SOLUC.DBF";
    prueba::escribir_archivo(ruta, b);
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    EXPECT_EQ(t.cuantos(), 3u) << int{version};
    EXPECT_EQ(t.texto("AULA"), "A\xF1o 1") << int{version};
    t.siguiente();
    t.siguiente();
    EXPECT_EQ(t.texto("ASIG"), "O'NEIL") << int{version};
    EXPECT_EQ(t.entero("HORA"), 4) << int{version};
  }
}

TEST(Interoperabilidad, LeemosSolucConDiaYHoraDeCaracteres) {
  Tabla t = Tabla::abrir(prueba::fixture("tablas/soluc_texto.dbf"), Modo::compartido, "wwTableSoluc");
  EXPECT_EQ(t.entero("DIA"), 12);
  EXPECT_EQ(t.entero("HORA"), 3);
  t.siguiente();
  try {
    (void)t.entero("DIA");
    ADD_FAILURE() << "'x' se leyó como entero";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'x' no es un valor entero válido");
  }
  EXPECT_EQ(t.texto("HORA"), "");
}

TEST(Interoperabilidad, LeemosVisualFoxPro) {
  Tabla t = Tabla::abrir(prueba::fixture("tablas/vfp.dbf"), Modo::compartido);
  EXPECT_EQ(t.cuantos(), 2u);
  EXPECT_EQ(t.texto("NOMBRE"), "uno");
  EXPECT_EQ(t.entero("CUENTA"), -5);
  EXPECT_EQ(t.texto("CUENTA"), "-5");
  EXPECT_EQ(t.flotante("PRECIO"), 2.5);
  EXPECT_EQ(t.flotante("IMPORTE"), 12.25);
  EXPECT_EQ(t.texto("IMPORTE"), "12.2500");
  EXPECT_EQ(t.texto("SI"), "T");
  EXPECT_EQ(t.texto("FECHA"), "20240901");
  EXPECT_EQ(t.texto("MOMENTO"), "20240901083015");
  t.siguiente();  // el segundo está borrado
  EXPECT_EQ(t.texto("NOMBRE"), "dos");
  EXPECT_EQ(t.entero("CUENTA"), 2147483646);
  EXPECT_EQ(t.flotante("PRECIO"), -0.125);
  EXPECT_EQ(t.flotante("IMPORTE"), -1.0);
  EXPECT_EQ(t.texto("SI"), "F");
  EXPECT_EQ(t.texto("FECHA"), "");
  t.siguiente();
  EXPECT_TRUE(t.fin());
}

TEST(Interoperabilidad, LeemosDBase7) {
  Tabla t = Tabla::abrir(prueba::fixture("tablas/dbase7.dbf"), Modo::compartido);
  ASSERT_EQ(t.campos().size(), 4u);
  EXPECT_EQ(t.campos()[1].nombre, "CUENTA");
  EXPECT_EQ(t.campos()[1].tipo, TipoCampo::entero);
  EXPECT_EQ(t.cuantos(), 2u);
  EXPECT_EQ(t.texto("NOMBRE"), "Ana");
  EXPECT_EQ(t.entero("CUENTA"), -3);
  EXPECT_EQ(t.flotante("VALOR"), 1.5);
  EXPECT_EQ(t.entero("DIA"), 7);
  t.siguiente();  // "Borrada" no se ve
  EXPECT_EQ(t.texto("NOMBRE"), "Luis");
  EXPECT_EQ(t.entero("CUENTA"), 40000);
  EXPECT_EQ(t.flotante("VALOR"), -2.25);
  EXPECT_EQ(t.entero("DIA"), 0);
}

}  // namespace
}  // namespace tts
