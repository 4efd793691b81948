#include "comun/texto.h"

#include <gtest/gtest.h>

#include "comun/error.h"

namespace tts {
namespace {

TEST(Texto, Utf8ACp1252YVuelta) {
  struct Caso {
    const char* nombre;
    std::string utf8;
    std::string cp1252;
  };
  const Caso casos[] = {
      {"ascii", "Aula 12", "Aula 12"},
      {"acentos latinos", "Matemáticas Ñandú", "Matem\xE1ticas \xD1\x61nd\xFA"},
      {"zona 0x80-0x9F", "€ ‚ „ … Š Œ Ž š œ ž Ÿ ™ –", "\x80 \x82 \x84 \x85 \x8A \x8C \x8E \x9A \x9C \x9E \x9F \x99 \x96"},
      {"ordinales", "1º 2ª", "1\xBA 2\xAA"},
  };
  for (const auto& c : casos) {
    EXPECT_EQ(utf8_a_cp1252(c.utf8), c.cp1252) << c.nombre;
    EXPECT_EQ(cp1252_a_utf8(c.cp1252), c.utf8) << c.nombre;
  }
}

TEST(Texto, CaracterFueraDeLaPaginaEsInterrogacion) {
  EXPECT_EQ(utf8_a_cp1252("α-β 中 😀"), "?-? ? ?");
  // Secuencias mal formadas: un "?" por byte que no forma carácter.
  EXPECT_EQ(utf8_a_cp1252("a\xC3"), "a?");
  EXPECT_EQ(utf8_a_cp1252("\xFF\xFE"), "??");
  // Los cinco bytes sin carácter van y vuelven por su control C1.
  EXPECT_EQ(utf8_a_cp1252(cp1252_a_utf8("\x81\x8D\x8F\x90\x9D")), "\x81\x8D\x8F\x90\x9D");
}

TEST(Texto, Recortar) {
  EXPECT_EQ(recortar("  \t\r\n Aula 12 \n"), "Aula 12");
  EXPECT_EQ(recortar(std::string_view("\0\x1F x \x20", 5)), "x");
  EXPECT_EQ(recortar("   "), "");
  EXPECT_EQ(recortar("a  b"), "a  b");
  // 0xA0 (espacio duro) no es un carácter que se recorte.
  EXPECT_EQ(recortar("\xA0x\xA0"), "\xA0x\xA0");
  EXPECT_EQ(sin_blancos_finales("  ab  "), "  ab");
}

TEST(Texto, IgualdadSinMayusculas) {
  struct Caso {
    std::string a, b;
    bool iguales;
  };
  const Caso casos[] = {
      {"MATE", "mate", true},
      {"\xC1rea", "\xE1REA", true},     // Á y á
      {"A", "\xC1", false},             // A y Á difieren
      {"\xD7", "\xF7", false},          // × y ÷ no son mayúscula y minúscula
      {"\x8A\x8C\x8E\x9F", "\x9A\x9C\x9E\xFF", true},  // Š Œ Ž Ÿ
      {"\xDE", "\xFE", true},           // Þ þ
      {"\xDF", "ss", false},
      {"Mat", "Mat ", false},
  };
  for (const auto& c : casos) {
    EXPECT_EQ(iguales_sin_mayusculas(c.a, c.b), c.iguales) << c.a << " / " << c.b;
    if (c.iguales) {
      EXPECT_EQ(dispersion_sin_mayusculas(c.a), dispersion_sin_mayusculas(c.b));
    }
  }
  // Ningún otro byte se pliega.
  for (int c = 0; c < 256; ++c) {
    const auto m = minuscula_cp1252(static_cast<unsigned char>(c));
    const bool plegable = (c >= 'A' && c <= 'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || c == 0x8A || c == 0x8C ||
                          c == 0x8E || c == 0x9F;
    EXPECT_EQ(m != c, plegable) << c;
  }
}

TEST(Texto, Enteros) {
  struct Caso {
    const char* texto;
    bool valido;
    std::int32_t valor;
  };
  const Caso casos[] = {
      {"0", true, 0},           {"212306", true, 212306}, {"-5", true, -5},
      {"+7", true, 7},          {"007", true, 7},         {"2147483647", true, 2147483647},
      {"-2147483648", true, INT32_MIN}, {"2147483648", false, 0}, {"99999999999999999999", false, 0},
      {"", false, 0},           {"-", false, 0},          {"2.5", false, 0},
      {"$1F", false, 0},        {"0x1F", false, 0},       {" 5", false, 0},
      {"5 ", false, 0},         {"1e3", false, 0},
  };
  for (const auto& c : casos) {
    auto v = leer_entero(c.texto);
    EXPECT_EQ(v.has_value(), c.valido) << c.texto;
    if (c.valido && v) {
      EXPECT_EQ(*v, c.valor) << c.texto;
    }
  }
  try {
    entero_o_error("M\xE1s");
    FAIL();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'Más' no es un valor entero válido");
  }
}

}  // namespace
}  // namespace tts
