#include "comun/informe.h"

namespace tts {

std::size_t Informe::avisos() const {
  std::size_t n = 0;
  for (const auto& nota : notas_)
    if (nota.tipo == Tipo::aviso) ++n;
  return n;
}

std::string Informe::texto() const {
  std::string salida;
  for (const auto& nota : notas_) {
    if (nota.tipo == Tipo::aviso) salida += "Aviso: ";
    salida += nota.texto;
    salida += '\n';
  }
  return salida;
}

}  // namespace tts
