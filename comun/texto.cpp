#include "comun/texto.h"

#include <array>
#include <charconv>
#include <limits>

#include "comun/error.h"

namespace tts {
namespace {

// Caracteres Unicode de los bytes 0x80-0x9F de Windows-1252; los cinco sin asignar
// se quedan en su control C1 (el mismo número).
constexpr std::array<char32_t, 32> kAltos80 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t unicode_de(unsigned char b) {
  if (b >= 0x80 && b <= 0x9F) return kAltos80[b - 0x80];
  return b;
}

// Byte Windows-1252 de un carácter Unicode, o '?' si no lo hay.
char cp1252_de(char32_t u) {
  if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return static_cast<char>(u);
  for (std::size_t i = 0; i < kAltos80.size(); ++i)
    if (kAltos80[i] == u) return static_cast<char>(0x80 + i);
  return '?';
}

void anadir_utf8(std::string& s, char32_t u) {
  if (u < 0x80) {
    s += static_cast<char>(u);
  } else if (u < 0x800) {
    s += static_cast<char>(0xC0 | (u >> 6));
    s += static_cast<char>(0x80 | (u & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (u >> 12));
    s += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (u & 0x3F));
  }
}

bool es_blanco(unsigned char c) { return c <= 0x20; }

}  // namespace

std::string utf8_a_cp1252(std::string_view utf8) {
  std::string salida;
  salida.reserve(utf8.size());
  std::size_t i = 0;
  const std::size_t n = utf8.size();
  while (i < n) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      salida += static_cast<char>(b);
      ++i;
      continue;
    }
    std::size_t largo = 0;
    char32_t u = 0;
    if ((b & 0xE0) == 0xC0) {
      largo = 2;
      u = b & 0x1F;
    } else if ((b & 0xF0) == 0xE0) {
      largo = 3;
      u = b & 0x0F;
    } else if ((b & 0xF8) == 0xF0) {
      largo = 4;
      u = b & 0x07;
    }
    bool valido = largo != 0 && i + largo <= n;
    for (std::size_t k = 1; valido && k < largo; ++k) {
      const auto c = static_cast<unsigned char>(utf8[i + k]);
      if ((c & 0xC0) != 0x80) valido = false;
      else u = (u << 6) | (c & 0x3F);
    }
    if (!valido) {
      salida += '?';
      ++i;
      continue;
    }
    salida += cp1252_de(u);
    i += largo;
  }
  return salida;
}

std::string cp1252_a_utf8(std::string_view cp1252) {
  std::string salida;
  salida.reserve(cp1252.size() + cp1252.size() / 4);
  for (char c : cp1252) anadir_utf8(salida, unicode_de(static_cast<unsigned char>(c)));
  return salida;
}

std::string_view recortar(std::string_view texto) {
  std::size_t inicio = 0;
  std::size_t fin = texto.size();
  while (inicio < fin && es_blanco(static_cast<unsigned char>(texto[inicio]))) ++inicio;
  while (fin > inicio && es_blanco(static_cast<unsigned char>(texto[fin - 1]))) --fin;
  return texto.substr(inicio, fin - inicio);
}

std::string_view sin_blancos_finales(std::string_view texto) {
  std::size_t fin = texto.size();
  while (fin > 0 && texto[fin - 1] == ' ') --fin;
  return texto.substr(0, fin);
}

unsigned char minuscula_cp1252(unsigned char c) {
  if (c >= 'A' && c <= 'Z') return static_cast<unsigned char>(c + 0x20);
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return static_cast<unsigned char>(c + 0x20);
  switch (c) {
    case 0x8A: return 0x9A;  // Š
    case 0x8C: return 0x9C;  // Œ
    case 0x8E: return 0x9E;  // Ž
    case 0x9F: return 0xFF;  // Ÿ
    default: return c;
  }
}

bool iguales_sin_mayusculas(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (minuscula_cp1252(static_cast<unsigned char>(a[i])) != minuscula_cp1252(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

std::size_t dispersion_sin_mayusculas(std::string_view texto) {
  // FNV-1a sobre los bytes ya en minúscula.
  std::uint64_t h = 1469598103934665603ULL;
  for (char c : texto) {
    h ^= minuscula_cp1252(static_cast<unsigned char>(c));
    h *= 1099511628211ULL;
  }
  return static_cast<std::size_t>(h);
}

std::optional<std::int32_t> leer_entero(std::string_view texto) {
  std::size_t i = 0;
  bool negativo = false;
  if (i < texto.size() && (texto[i] == '+' || texto[i] == '-')) {
    negativo = texto[i] == '-';
    ++i;
  }
  if (i == texto.size()) return std::nullopt;
  std::int64_t valor = 0;
  for (; i < texto.size(); ++i) {
    const char c = texto[i];
    if (c < '0' || c > '9') return std::nullopt;
    valor = valor * 10 + (c - '0');
    if (valor > static_cast<std::int64_t>(std::numeric_limits<std::int32_t>::max()) + 1) return std::nullopt;
  }
  if (negativo) valor = -valor;
  if (valor < std::numeric_limits<std::int32_t>::min() || valor > std::numeric_limits<std::int32_t>::max())
    return std::nullopt;
  return static_cast<std::int32_t>(valor);
}

std::int32_t entero_o_error(std::string_view texto_cp1252) {
  if (auto v = leer_entero(texto_cp1252)) return *v;
  throw Error("'" + cp1252_a_utf8(texto_cp1252) + "' no es un valor entero válido");
}

}  // namespace tts
