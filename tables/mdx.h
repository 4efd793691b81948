// El índice de producción .MDX de dBase IV: su escritura entera a partir de las claves ya
// ordenadas de cada etiqueta, y la lectura de su tabla de etiquetas (nombre y campo), que
// basta para ordenar en memoria una tabla que se abre.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tts::mdx {

struct Entrada {
  std::string clave;       // ya codificada, de la longitud de clave de la etiqueta
  std::uint32_t registro;  // número de registro, desde 1
};

struct EtiquetaEscrita {
  std::string nombre;            // a lo sumo 10 caracteres
  std::string campo;             // la expresión: el nombre del campo
  char tipo_clave = 'N';         // 'C' o 'N'
  std::size_t long_clave = 12;   // N: 12; C: la anchura del campo
  std::vector<Entrada> entradas; // en orden de clave; iguales por número de registro
};

struct EtiquetaLeida {
  std::string nombre;
  std::string campo;
};

// La clave numérica (12 bytes de decimal empaquetado) del texto de un campo N o F.
std::string clave_numerica(std::string_view texto);

// El archivo .MDX entero.
std::string construir(std::string_view nombre_tabla, const std::vector<EtiquetaEscrita>& etiquetas);

// Las etiquetas de un .MDX; lo que no se entiende se pasa por alto (nunca lee fuera).
std::vector<EtiquetaLeida> leer_etiquetas(std::string_view datos);

}  // namespace tts::mdx
