#include "export/codigos.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comun/error.h"
#include "comun/informe.h"
#include "comun/texto.h"

namespace tts {
namespace {

using ::testing::HasSubstr;

std::vector<std::string> repetir(const std::string& base, int veces) { return std::vector<std::string>(veces, base); }

std::vector<std::string> unir(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Cada caso asigna sus bases en orden sobre una lista vacía y espera esos códigos.
TEST(AsignarCodigoCorto, TablaDeCasos) {
  struct Caso {
    const char* regla;
    std::size_t ancho;
    std::size_t prefijo;
    std::vector<std::string> bases;
    std::vector<std::string> codigos;
  };
  std::vector<std::string> gla = repetir("GLA", 12);
  std::vector<std::string> gla_codigos = {"GLA",  "GLA1", "GLA2", "GLA3", "GLA4", "GLA5",
                                          "GLA6", "GLA7", "GLA8", "GLA9", "GL10", "GL11"};
  std::vector<std::string> ab_codigos = {"AB"};
  for (int i = 1; i <= 99; ++i) ab_codigos.push_back("AB" + std::to_string(i));
  ab_codigos.push_back("A100");
  ab_codigos.push_back("A101");

  const Caso casos[] = {
      {"lista vacía: la base tal cual, también vacía", 4, 3, {"", "Mate"}, {"", "Mate"}},
      {"base ocupada: prefijo y contador", 4, 3, {"Mate", "Mate", "Mate"}, {"Mate", "Mat1", "Mat2"}},
      {"mayúsculas ignoradas; el prefijo guarda las de la base", 4, 3, {"MATE", "mate"}, {"MATE", "mat1"}},
      {"candidato igual a una base anterior", 4, 3, {"Mate", "Mat1", "Mate"}, {"Mate", "Mat1", "Mat2"}},
      {"base igual a un candidato anterior", 4, 3, {"Mate", "Mate", "Mat1"}, {"Mate", "Mat1", "Mat2"}},
      {"base más corta que el prefijo", 4, 3, {"GL", "GL"}, {"GL", "GL1"}},
      {"base vacía repetida", 4, 3, {"", "", ""}, {"", "1", "2"}},
      {"prefijo 2", 4, 2, {"AULA", "AULA"}, {"AULA", "AU1"}},
      {"prefijo 2: el candidato 1 ya está", 4, 2, {"G01", "G01"}, {"G01", "G02"}},
      {"iniciales: del undécimo en adelante el prefijo se acorta", 4, 3, gla, gla_codigos},
      {"prefijo 2 desde el contador 100", 4, 2, repetir("AB", 102), ab_codigos},
      {"base más larga que el campo: se corta", 4, 2, {"AULA12", "AULA13", "AULA"}, {"AULA", "AU1", "AU2"}},
      {"blanco final: se compara la forma guardada", 4, 3, {"Ed. ", "Ed."}, {"Ed.", "Ed.1"}},
      {"prefijo con blanco", 4, 3, {"1º A", "1º A"}, {"1º A", "1º 1"}},
      {"códigos largos: anchura 8 y prefijo 7", 8, 7, unir(repetir("Matemáti", 11), {"Matemát1"}),
       {"Matemáti", "Matemát1", "Matemát2", "Matemát3", "Matemát4", "Matemát5", "Matemát6", "Matemát7", "Matemát8",
        "Matemát9", "Matemá10", "Matemá11"}},
  };
  for (const auto& c : casos) {
    ASSERT_EQ(c.bases.size(), c.codigos.size()) << c.regla;
    ListaCodigos lista(c.ancho);
    for (std::size_t i = 0; i < c.bases.size(); ++i)
      EXPECT_EQ(AsignarCodigoCorto(utf8_a_cp1252(c.bases[i]), lista, c.prefijo), utf8_a_cp1252(c.codigos[i]))
          << c.regla << ", asignación " << i + 1;
    EXPECT_EQ(lista.cuantos(), c.bases.size()) << c.regla;
  }
}

TEST(AsignarCodigoCorto, CodigosUnicosYQueCabenConMuchasBasesParecidas) {
  // Bases que chocan entre sí de muchas maneras; cada código dado debe caber y ser nuevo.
  const std::vector<std::string> raices = {"Mate", "MAT", "Ma", "M", "", "Mat1", "mat10", "MA1", "Lab  ", "AULA123"};
  ListaCodigos lista(4);
  std::vector<std::string> dados;
  for (int vuelta = 0; vuelta < 120; ++vuelta)
    for (const auto& r : raices) {
      const std::string c = AsignarCodigoCorto(r, lista, vuelta % 2 ? 3 : 2);
      EXPECT_LE(c.size(), 4u);
      EXPECT_EQ(c, std::string(sin_blancos_finales(c)));
      for (const auto& d : dados) ASSERT_FALSE(iguales_sin_mayusculas(c, d)) << "'" << c << "' repetido";
      dados.push_back(c);
    }
}

TEST(AsignarCodigoCorto, ErrorCuandoNiElContadorCabe) {
  ListaCodigos lista(1, "X.C");
  for (const char* esperado : {"A", "1", "2", "3", "4", "5", "6", "7", "8", "9"})
    EXPECT_EQ(AsignarCodigoCorto("A", lista, 3), esperado);
  try {
    AsignarCodigoCorto("A", lista, 3);
    FAIL() << "debía fallar";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), HasSubstr("X.C"));
    EXPECT_THAT(e.what(), HasSubstr("'A'"));
  }
}

TEST(AsignarCodigoCorto, AnotaLosCodigosAcortados) {
  ListaCodigos lista(4, "Tabla PROFT, campo ABREV");
  Informe informe;
  for (int i = 0; i < 10; ++i) AsignarCodigoCorto("GLA", lista, 3, &informe);
  EXPECT_TRUE(informe.vacio()) << informe.texto();  // los que caben no se anotan
  EXPECT_EQ(AsignarCodigoCorto("GLA", lista, 3, &informe), "GL10");
  ASSERT_EQ(informe.notas().size(), 1u);
  EXPECT_EQ(informe.notas()[0].tipo, Informe::Tipo::aviso);
  EXPECT_THAT(informe.notas()[0].texto, HasSubstr("Tabla PROFT, campo ABREV"));
  EXPECT_THAT(informe.notas()[0].texto, HasSubstr("'GLA'"));
  EXPECT_THAT(informe.notas()[0].texto, HasSubstr("'GL10'"));

  // Con informe se anotan los cinco primeros uno a uno.
  for (int i = 0; i < 7; ++i) AsignarCodigoCorto("GLA", lista, 3, &informe);
  EXPECT_EQ(informe.notas().size(), 5u);
  EXPECT_EQ(lista.acortados(), 8u);
  // La nota de conjunto: cuántos, los primeros y cuántos más.
  Informe resumen;
  anotar_acortados(lista, resumen);
  ASSERT_EQ(resumen.notas().size(), 1u);
  EXPECT_EQ(resumen.notas()[0].texto,
            "Tabla PROFT, campo ABREV: 8 códigos acortados para que quepan en 4 caracteres: 'GLA' a 'GL10', "
            "'GLA' a 'GL11', 'GLA' a 'GL12', 'GLA' a 'GL13', 'GLA' a 'GL14' y 3 más");
  Informe nada;
  anotar_acortados(ListaCodigos(4, "X"), nada);
  EXPECT_TRUE(nada.vacio());

  Informe otro;
  ListaCodigos aulas(4, "Tabla AULAT, campo ABREV");
  AsignarCodigoCorto("AULA12", aulas, 2, &otro);
  ASSERT_EQ(otro.notas().size(), 1u);
  EXPECT_THAT(otro.notas()[0].texto, HasSubstr("'AULA12' se acortó a 'AULA'"));
}

}  // namespace
}  // namespace tts
