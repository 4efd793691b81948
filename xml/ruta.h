// Ruta: las rutas absolutas que admite Documento::seleccionar, un subconjunto pequeño de
// XPath 1.0: pasos de nombre de elemento separados por "/", uno de los cuales puede llevar
// [@seq="NOMBRE"] (o con comillas simples). Cualquier otra cosa es un Error.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tts {

struct PasoRuta {
  std::string nombre;                   // nombre del elemento, exacto
  std::optional<std::string> atributo;  // "seq" si el paso lleva condición
  std::string valor;                    // valor que debe tener ese atributo, exacto
};

struct Ruta {
  std::vector<PasoRuta> pasos;
};

Ruta analizar_ruta(std::string_view ruta);

}  // namespace tts
