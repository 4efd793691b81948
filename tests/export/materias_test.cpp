#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "tests/export/apoyo_exportacion.h"

namespace tts::prueba {
namespace {

using ::testing::HasSubstr;

void materias_y_actividades(Exportacion& e) {
  ExportarMaterias(e.ctx);
  ExportarActividades(e.ctx);
}

TEST(ExportarMaterias, EjemploDeUnaEjecucion) {
  Exportacion e({{"MATERIAS",
                  {{"1", "10", "Matemáticas"}, {"1", "11", "Matemáticas"}, {"1", "12", "Materiales"}, {"1", "13", "Música"}}},
                 {"ACTIVIDADES",
                  {{"0", "G1", "Guardia"}, {"0", "R1", "Matemáticas refuerzo"}, {"0", "P1", "Materias pendientes"},
                   {"0", "M1", "Música"}}}});
  materias_y_actividades(e);
  struct Esperada {
    const char* cod;
    const char* codlargo;
    const char* nombre;
    const char* codtarea;
  };
  const Esperada esperadas[] = {
      {"Mate", "Matemáti", "Matemáticas", ""},
      {"Mat1", "Material", "Materiales", ""},
      {"Músi", "Música", "Música", ""},
      {"Guar", "Guardia", "Guardia", "G1"},
      {"Mat2", "Matemát1", "Matemáticas refuerzo", "R1"},
      {"Mat3", "Materias", "Materias pendientes", "P1"},
  };
  const auto leidas = filas(e.carpeta.ruta(), "ASIGNOMT", {"COD", "CODLARGO", "NOMBRE", "MATERIA", "CODTAREA"});
  ASSERT_EQ(leidas.size(), std::size(esperadas));
  for (std::size_t i = 0; i < leidas.size(); ++i) {
    EXPECT_EQ(leidas[i].at("COD"), cp(esperadas[i].cod)) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("CODLARGO"), cp(esperadas[i].codlargo)) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("NOMBRE"), cp(esperadas[i].nombre)) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("MATERIA"), "") << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("CODTAREA"), esperadas[i].codtarea) << "fila " << i + 1;
  }
  EXPECT_THAT(e.informe.texto(), HasSubstr("ASIGNOMT: 3 filas (materias)"));
  EXPECT_THAT(e.informe.texto(), HasSubstr("ASIGNOMT: 3 filas (actividades)"));
}

// Cuándo un nombre escribe fila, y con qué códigos.
TEST(ExportarMaterias, UnaFilaPorNombreGuardado) {
  const std::string cuarenta(40, 'x');
  struct Caso {
    const char* regla;
    std::vector<std::string> materias;
    std::vector<std::string> nombres;  // NOMBRE de las filas
    std::vector<std::string> largos;   // CODLARGO
    std::vector<std::string> cortos;   // COD
  };
  const Caso casos[] = {
      {"nombres que comparten sus ocho primeros caracteres",
       {"Matemáticas I", "Matemáticas II", "Matemáticas I"},
       {"Matemáticas I", "Matemáticas II"},
       {"Matemáti", "Matemát1"},
       {"Mate", "Mat1"}},
      {"mayúsculas ignoradas: la primera fila conserva las suyas",
       {"Lengua", "LENGUA"},
       {"Lengua"},
       {"Lengua"},
       {"Leng"}},
      {"nombre vacío: la primera fila con todo vacío, las demás nada",
       {"", "Arte", ""},
       {"", "Arte"},
       {"", "Arte"},
       {"", "Arte"}},
      {"cuarto carácter blanco y nombres cortos",
       {"Ed. Física", "Ed.", "Tic"},
       {"Ed. Física", "Ed.", "Tic"},
       {"Ed. Físi", "Ed.", "Tic"},
       {"Ed.", "Ed.1", "Tic"}},
      {"nombres largos: iguales en sus 40 caracteres son uno",
       {cuarenta + "A", cuarenta + "B"},
       {cuarenta},
       {"xxxxxxxx"},
       {"xxxx"}},
  };
  for (const auto& c : casos) {
    std::vector<DatosRegistro> registros;
    for (const auto& n : c.materias) registros.push_back({"1", "9", n});
    Exportacion e({{"MATERIAS", registros}});
    materias_y_actividades(e);
    const auto leidas = filas(e.carpeta.ruta(), "ASIGNOMT", {"COD", "CODLARGO", "NOMBRE"});
    ASSERT_EQ(leidas.size(), c.nombres.size()) << c.regla;
    for (std::size_t i = 0; i < leidas.size(); ++i) {
      EXPECT_EQ(leidas[i].at("NOMBRE"), cp(c.nombres[i])) << c.regla;
      EXPECT_EQ(leidas[i].at("CODLARGO"), cp(c.largos[i])) << c.regla;
      EXPECT_EQ(leidas[i].at("COD"), cp(c.cortos[i])) << c.regla;
    }
  }
}

TEST(ExportarActividades, SinMateriasYConRegistrosIncompletos) {
  // Sin grupo MATERIAS: sólo actividades, con las listas vacías. Un registro de un solo
  // dato no cuenta; uno de dos datos lee vacío el nombre.
  Exportacion e({{"ACTIVIDADES", {{"0", "  ", "Guardia"}, {"0"}, {"0", "T7"}, {"0", "Y", "Guardia de recreo"}}}});
  materias_y_actividades(e);
  const auto leidas = filas(e.carpeta.ruta(), "ASIGNOMT", {"COD", "NOMBRE", "CODTAREA"});
  ASSERT_EQ(leidas.size(), 3u);
  EXPECT_EQ(leidas[0].at("COD"), "Guar");
  EXPECT_EQ(leidas[0].at("CODTAREA"), "");
  EXPECT_EQ(leidas[1].at("NOMBRE"), "");
  EXPECT_EQ(leidas[1].at("CODTAREA"), "T7");
  EXPECT_EQ(leidas[2].at("COD"), "Gua1");
  EXPECT_THAT(e.informe.texto(), HasSubstr("ASIGNOMT: 0 filas (materias)"));
}

TEST(ExportarMaterias, CadaEjecucionEmpiezaDeCero) {
  // Dos exportaciones seguidas en el mismo proceso, cada una con su contexto.
  for (int vuelta = 0; vuelta < 2; ++vuelta) {
    Exportacion e({{"MATERIAS", {{"1", "9", "Mates"}}}});
    materias_y_actividades(e);
    EXPECT_EQ(columna(e.carpeta.ruta(), "ASIGNOMT", "COD"), std::vector<std::string>{"Mate"}) << "vuelta " << vuelta;
  }
}

}  // namespace
}  // namespace tts::prueba
