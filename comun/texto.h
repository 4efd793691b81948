// Texto de un byte: los valores que van a las tablas son texto Windows-1252 guardado en
// std::string. La conversión desde y hacia el texto Unicode (UTF-8) del XML ocurre sólo en
// la frontera del XML; aquí están esa conversión, el recorte de blancos y la comparación
// sin distinguir mayúsculas de minúsculas que usan las listas de códigos.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tts {

// UTF-8 a Windows-1252. Un carácter que la página de códigos no tiene se vuelve "?"; una
// secuencia UTF-8 mal formada también (un "?" por byte inválido).
std::string utf8_a_cp1252(std::string_view utf8);

// Windows-1252 a UTF-8. Los cinco bytes sin carácter asignado (0x81, 0x8D, 0x8F, 0x90, 0x9D)
// pasan a los caracteres de control U+0081 ... U+009D, como hace Windows.
std::string cp1252_a_utf8(std::string_view cp1252);

// Quita por ambos extremos los caracteres U+0000 a U+0020 (el blanco incluido). Sirve igual
// para UTF-8 que para Windows-1252, porque esos caracteres son de un byte en ambos.
std::string_view recortar(std::string_view texto);

// Quita sólo los blancos finales (el relleno de un campo de caracteres).
std::string_view sin_blancos_finales(std::string_view texto);

// Minúscula de un byte Windows-1252: A-Z, 0xC0-0xDE salvo 0xD7, Š Œ Ž (0x8A 0x8C 0x8E) e
// Ÿ (0x9F -> 0xFF). Los demás bytes quedan igual.
unsigned char minuscula_cp1252(unsigned char c);

// Igualdad de textos Windows-1252 enteros sin distinguir mayúsculas (sólo eso se ignora:
// "A" y "Á" son distintos).
bool iguales_sin_mayusculas(std::string_view a, std::string_view b);

// Dispersión que concuerda con iguales_sin_mayusculas, para contenedores con dispersión.
std::size_t dispersion_sin_mayusculas(std::string_view texto);

struct DispersionSinMayusculas {
  using is_transparent = void;
  std::size_t operator()(std::string_view t) const { return dispersion_sin_mayusculas(t); }
};
struct IgualSinMayusculas {
  using is_transparent = void;
  bool operator()(std::string_view a, std::string_view b) const { return iguales_sin_mayusculas(a, b); }
};

// Número entero de 32 bits con signo: un signo opcional y uno o más dígitos ASCII, nada más.
// Devuelve nada si el texto no lo es o se sale del rango.
std::optional<std::int32_t> leer_entero(std::string_view texto);

// Como leer_entero, pero un texto que no es un entero lanza Error con el mensaje
// "'<texto>' no es un valor entero válido" (el texto se da en Windows-1252).
std::int32_t entero_o_error(std::string_view texto_cp1252);

}  // namespace tts
