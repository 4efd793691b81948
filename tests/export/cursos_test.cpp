#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "comun/error.h"
#include "tests/export/apoyo_exportacion.h"

namespace tts::prueba {
namespace {

using ::testing::HasSubstr;

TEST(ExportarCursosYUnidades, CursosYSuNivel) {
  Exportacion e({{"CURSOS_DEL_CENTRO",
                  {{"2060", "1º Bachillerato"},
                   {"  2067 ", "2º Bachillerato"},
                   {"00000002060", "Largo"},
                   {"-5", ""},
                   {"101681", "3º ESO"},
                   {"212306", "1º de E.S.O."}}}});
  ExportarCursosYUnidades(e.ctx);
  const auto leidas = filas(e.carpeta.ruta(), "CURSOST", {"ABREV", "TURNO", "NIVEL", "CURSO", "CLAVE"});
  struct Esperada {
    const char *clave, *nivel, *curso;
  };
  const Esperada esperadas[] = {{"2060", "BAC", "1"},       {"2067", "BAC", "2"},     {"0000000206", "BAC", "L"},
                                {"-5", "NIV", ""},          {"101681", "ESO", "3"},   {"212306", "NIV", "1"}};
  ASSERT_EQ(leidas.size(), std::size(esperadas));
  for (std::size_t i = 0; i < leidas.size(); ++i) {
    EXPECT_EQ(leidas[i].at("CLAVE"), esperadas[i].clave) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("NIVEL"), esperadas[i].nivel) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("CURSO"), esperadas[i].curso) << "fila " << i + 1;
    EXPECT_EQ(leidas[i].at("ABREV"), "");
    EXPECT_EQ(leidas[i].at("TURNO"), "");
  }
  EXPECT_THAT(e.informe.texto(), HasSubstr("CURSOST: 6 filas"));
  EXPECT_THAT(e.informe.texto(), HasSubstr("CURSOST: 2 cursos con nivel \"NIV\""));
  EXPECT_THAT(e.informe.texto(), HasSubstr("'-5' y '212306'"));
}

TEST(ExportarCursosYUnidades, UnidadesConSuCodigoYSuCurso) {
  Exportacion e({{"UNIDADES",
                  {{"U1", "2ESOA", "2060"},
                   {"U2", "2ESOB", "2060"},
                   {"U3", "1º A", "100317"},
                   {"U4", "1º A", "100317"},
                   {"U5", "1 A B", "2060"},
                   {"U6", "C", "999"},
                   {"U7", "", "2060"},
                   {"U8", "", "00000002060"},
                   {"U9", "3ESOA"}}},
                 // Las unidades encuentran su curso esté donde esté; el primero de una clave manda.
                 {"CURSOS_DEL_CENTRO", {{"2060", "2º Bach"}, {"100317", "1º Primaria"}, {"2060", "5º Otro"}}}});
  ExportarCursosYUnidades(e.ctx);
  struct Esperada {
    const char *abrev, *grupo, *nivel, *curso, *clavecurso;
  };
  const Esperada esperadas[] = {
      {"2ESO", "A", "BAC", "2", "2060"}, {"2ES1", "B", "BAC", "2", "2060"},  {"1º A", "A", "PRI", "1", "100317"},
      {"1º 1", "A", "PRI", "1", "100317"}, {"1 A", "B", "BAC", "2", "2060"}, {"C", "C", "", "", "999"},
      {"", "", "BAC", "2", "2060"},       {"1", "", "", "", "0000000206"},  {"3ESO", "A", "", "", ""},
  };
  const auto leidas =
      filas(e.carpeta.ruta(), "GRUPOST", {"ABREV", "TURNO", "NIVEL", "CURSO", "GRUPO", "CLAVE", "CLAVECURSO"});
  ASSERT_EQ(leidas.size(), std::size(esperadas));
  for (std::size_t i = 0; i < leidas.size(); ++i) {
    const std::string fila = "fila " + std::to_string(i + 1);
    EXPECT_EQ(leidas[i].at("ABREV"), cp(esperadas[i].abrev)) << fila;
    EXPECT_EQ(leidas[i].at("GRUPO"), esperadas[i].grupo) << fila;
    EXPECT_EQ(leidas[i].at("NIVEL"), esperadas[i].nivel) << fila;
    EXPECT_EQ(leidas[i].at("CURSO"), esperadas[i].curso) << fila;
    EXPECT_EQ(leidas[i].at("CLAVE"), "U" + std::to_string(i + 1)) << fila;
    EXPECT_EQ(leidas[i].at("CLAVECURSO"), esperadas[i].clavecurso) << fila;
    EXPECT_EQ(leidas[i].at("TURNO"), "") << fila;
  }
  EXPECT_THAT(e.informe.texto(), HasSubstr("GRUPOST: 9 filas"));
  EXPECT_THAT(e.informe.texto(), HasSubstr("GRUPOST: 3 unidades sin su curso en CURSOST"));
  EXPECT_THAT(e.informe.texto(), HasSubstr("'C (curso 999)'"));
}

TEST(ExportarCursosYUnidades, ClaveDeCursoQueNoEsUnEntero) {
  for (const char* clave : {"2.5", "$1F", "0x1F", "", "99999999999"}) {
    Exportacion e({{"CURSOS_DEL_CENTRO", {{"2060", "1º"}, {clave, "2º"}}}, {"UNIDADES", {{"U1", "1A", "2060"}}}});
    try {
      ExportarCursosYUnidades(e.ctx);
      ADD_FAILURE() << "'" << clave << "' debía fallar";
    } catch (const Error& err) {
      EXPECT_EQ(err.what(), "'" + std::string(clave) + "' no es un valor entero válido");
      // Dónde estaba lo dice el informe.
      EXPECT_THAT(e.informe.texto(), HasSubstr("Grupo CURSOS_DEL_CENTRO, registro 2: la clave del curso '" +
                                               std::string(clave) + "' no es un número entero"));
    }
  }
}

}  // namespace
}  // namespace tts::prueba
