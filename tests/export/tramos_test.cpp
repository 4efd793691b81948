#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "comun/error.h"
#include "tests/export/apoyo_exportacion.h"

namespace tts::prueba {
namespace {

using ::testing::HasSubstr;

const std::vector<std::string> kCampos = {"DIHO", "CODDIHO", "DIA", "TEXTODIA", "HORA",
                                          "TEXTOHOR", "HORADESDE", "HORAHASTA", "MINUTOS"};

TEST(ExportarTramos, EjemploDeTresTramos) {
  Exportacion e({{"TRAMOS_HORARIOS", {{"T1", "3ª", "600", "655"}, {"T2", "1ª", "480", "535"}, {"T3", "2ª", "540", "595"}}}});
  ExportarTramos(e.ctx);

  const auto primera = filas(e.carpeta.ruta(), "DIASHORAST2", {"DIHO", "DIA", "HORA", "CODDIHO", "ORDEN"});
  ASSERT_EQ(primera.size(), 21u);
  // Tramo a tramo en orden del documento, los siete días de cada uno.
  EXPECT_EQ(primera[0].at("DIHO"), "11");
  EXPECT_EQ(primera[6].at("DIHO"), "71");
  EXPECT_EQ(primera[7].at("DIHO"), "12");
  EXPECT_EQ(primera[7].at("CODDIHO"), "T2");
  EXPECT_EQ(primera[14].at("DIHO"), "13");
  EXPECT_EQ(primera[14].at("ORDEN"), "540");

  const auto segunda = filas(e.carpeta.ruta(), "DIASHORAST", kCampos);
  ASSERT_EQ(segunda.size(), 21u);
  struct Esperada {
    const char *diho, *coddiho, *dia, *hora, *texto, *desde, *hasta;
  };
  // Por ORDEN: los siete días de T2, luego los de T3, luego los de T1.
  const Esperada algunas[] = {
      {"11", "T2", "1", "1", "1ª", "08:00", "08:55"}, {"71", "T2", "7", "1", "1ª", "08:00", "08:55"},
      {"12", "T3", "1", "2", "2ª", "09:00", "09:55"}, {"13", "T1", "1", "3", "3ª", "10:00", "10:55"},
      {"73", "T1", "7", "3", "3ª", "10:00", "10:55"},
  };
  const std::size_t posiciones[] = {0, 6, 7, 14, 20};
  for (std::size_t i = 0; i < std::size(algunas); ++i) {
    const auto& f = segunda[posiciones[i]];
    EXPECT_EQ(f.at("DIHO"), algunas[i].diho) << i;
    EXPECT_EQ(f.at("CODDIHO"), algunas[i].coddiho) << i;
    EXPECT_EQ(f.at("DIA"), algunas[i].dia) << i;
    EXPECT_EQ(f.at("HORA"), algunas[i].hora) << i;
    EXPECT_EQ(f.at("TEXTOHOR"), cp(algunas[i].texto)) << i;
    EXPECT_EQ(f.at("HORADESDE"), algunas[i].desde) << i;
    EXPECT_EQ(f.at("HORAHASTA"), algunas[i].hasta) << i;
  }
  for (const auto& f : segunda) {
    EXPECT_EQ(f.at("MINUTOS"), "55");
    EXPECT_EQ(f.at("TEXTODIA"), "");
  }
  EXPECT_THAT(e.informe.texto(), HasSubstr("DIASHORAST: 21 filas"));
  EXPECT_THAT(e.informe.texto(), HasSubstr("DIASHORAST2: 21 filas"));
}

// Las horas de DIASHORAST para el día 1, en el orden de la tabla, según los inicios.
TEST(ExportarTramos, NumeracionDeLasHoras) {
  struct Caso {
    const char* regla;
    std::vector<DatosRegistro> tramos;
    std::vector<std::string> diho_dia1;     // DIHO de las filas del día 1
    std::vector<std::string> coddiho_dia1;  // y su tramo
  };
  std::vector<DatosRegistro> once;
  std::vector<std::string> once_diho, once_cod;
  for (int i = 1; i <= 11; ++i) {
    once.push_back({"T" + std::to_string(i), "", std::to_string(400 + 60 * i), std::to_string(450 + 60 * i)});
    once_diho.push_back("1" + std::to_string(i));
    once_cod.push_back("T" + std::to_string(i));
  }
  const Caso casos[] = {
      {"inicios iguales comparten hora, en orden del documento; sin huecos",
       {{"A", "", "600", "650"}, {"B", "", "480", "530"}, {"C", "", "600", "660"}, {"D", "", "700", "750"}},
       {"11", "12", "12", "13"},
       {"B", "A", "C", "D"}},
      {"huecos entre inicios", {{"A", "", "480", "1"}, {"B", "", "600", "1"}, {"C", "", "900", "1"}}, {"11", "12", "13"},
       {"A", "B", "C"}},
      {"registros sin dos datos no cuentan", {{"A", "", "480", "530"}, {"X"}, {"B", "", "540", "590"}}, {"11", "12"},
       {"A", "B"}},
      {"hora 10 y siguientes", once, once_diho, once_cod},
      {"sin tramos", {}, {}, {}},
  };
  for (const auto& c : casos) {
    Exportacion e({{"TRAMOS_HORARIOS", c.tramos}});
    ExportarTramos(e.ctx);
    std::vector<std::string> diho, cod;
    for (const auto& f : filas(e.carpeta.ruta(), "DIASHORAST", {"DIHO", "DIA", "CODDIHO"}))
      if (f.at("DIA") == "1") {
        diho.push_back(f.at("DIHO"));
        cod.push_back(f.at("CODDIHO"));
      }
    EXPECT_EQ(diho, c.diho_dia1) << c.regla;
    EXPECT_EQ(cod, c.coddiho_dia1) << c.regla;
    EXPECT_EQ(filas(e.carpeta.ruta(), "DIASHORAST", {"DIHO"}).size(), 7 * c.diho_dia1.size()) << c.regla;
    EXPECT_EQ(filas(e.carpeta.ruta(), "DIASHORAST2", {"DIHO"}).size(), 7 * c.diho_dia1.size()) << c.regla;
  }
}

TEST(ExportarTramos, ValoresDeUnTramo) {
  // Duración negativa, hora de más de dos cifras y textos que no caben en su campo.
  Exportacion e({{"TRAMOS_HORARIOS", {{"IDENTIFICADOR-LARGO", "Recreo largo", " 540 ", "480"}, {"T2", "X", "6000", "6001"}}}});
  ExportarTramos(e.ctx);
  const auto f = filas(e.carpeta.ruta(), "DIASHORAST", kCampos);
  ASSERT_EQ(f.size(), 14u);
  EXPECT_EQ(f[0].at("CODDIHO"), "IDENTIFICA");
  EXPECT_EQ(f[0].at("TEXTOHOR"), "Recreo l");
  EXPECT_EQ(f[0].at("HORADESDE"), "09:00");
  EXPECT_EQ(f[0].at("HORAHASTA"), "08:00");
  EXPECT_EQ(f[0].at("MINUTOS"), "-60");
  EXPECT_EQ(f[7].at("HORADESDE"), "100:00");
  EXPECT_EQ(f[7].at("DIHO"), "12");
}

TEST(ExportarTramos, MinutoQueNoEsUnEntero) {
  struct Caso {
    DatosRegistro tramo;
    const char* texto;
    const char* dato;
  };
  const Caso casos[] = {{{"T", "", "8.5", "600"}, "8.5", "el minuto de inicio"},
                        {{"T", "", "480", "$1F"}, "$1F", "el minuto final"},
                        {{"T", ""}, "", "el minuto de inicio"}};
  for (const auto& c : casos) {
    Exportacion e({{"TRAMOS_HORARIOS", {{"T0", "", "400", "450"}, c.tramo}}});
    try {
      ExportarTramos(e.ctx);
      ADD_FAILURE() << c.texto;
    } catch (const Error& err) {
      EXPECT_EQ(err.what(), "'" + std::string(c.texto) + "' no es un valor entero válido");
      EXPECT_THAT(e.informe.texto(), HasSubstr("Grupo TRAMOS_HORARIOS, registro 2: " + std::string(c.dato)));
    }
  }
}

}  // namespace
}  // namespace tts::prueba
