// Un proceso aparte que tiene un archivo bloqueado como lo bloquea otro programa (fcntl
// F_OFD_SETLK sobre la región de bloqueo de dBase) hasta que se destruye el objeto.
#pragma once

#include <sys/types.h>

#include <filesystem>

namespace tts::prueba {

class Bloqueador {
 public:
  // exclusivo: bloqueo de escritura; si no, de lectura. Vuelve cuando el bloqueo está tomado.
  Bloqueador(const std::filesystem::path& archivo, bool exclusivo);
  ~Bloqueador();
  Bloqueador(const Bloqueador&) = delete;
  Bloqueador& operator=(const Bloqueador&) = delete;

 private:
  pid_t hijo_ = -1;
  int escritura_ = -1;  // su entrada estándar: al cerrarla, el hijo acaba
};

// Si otro proceso puede tomar ahora el bloqueo (de escritura o de lectura) del archivo.
bool otro_puede_bloquear(const std::filesystem::path& archivo, bool exclusivo);

}  // namespace tts::prueba
