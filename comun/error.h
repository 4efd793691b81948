// Error: la única excepción del programa. Lleva la frase en castellano que lee el usuario
// (UTF-8), que dice qué está mal y dónde. Los frontales la capturan en el límite de cada
// ejecución y en ningún otro sitio.
#pragma once

#include <stdexcept>
#include <string>

namespace tts {

class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& mensaje) : std::runtime_error(mensaje) {}
};

}  // namespace tts
