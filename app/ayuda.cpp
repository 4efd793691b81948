#include "app/ayuda.h"

namespace tts {

std::string queja_ayuda(const std::filesystem::path& archivo) {
  return "No se puede abrir el archivo de ayuda " + archivo.string() + ".";
}

}  // namespace tts
