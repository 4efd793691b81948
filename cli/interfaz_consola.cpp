#include "cli/interfaz_consola.h"

#include <ostream>

#include "app/ejecuciones/ejecuciones.h"
#include "comun/informe.h"

namespace tts {

void InterfazConsola::mensaje(std::string_view texto, const Informe* informe) {
  if (informe != nullptr) salida_ << informe->texto();
  // "No existe archivo" es el final sin trabajo: va a la salida de errores.
  (texto == kNoExisteArchivo ? errores_ : salida_) << texto << std::endl;
}

void InterfazConsola::error(std::string_view texto, const Informe* informe) {
  if (informe != nullptr) salida_ << informe->texto() << std::flush;
  errores_ << texto << std::endl;
}

}  // namespace tts
