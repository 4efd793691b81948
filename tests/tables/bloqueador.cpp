#include "tests/tables/bloqueador.h"

#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <string>

#include "tests/apoyo/apoyo.h"

namespace tts::prueba {

namespace {

// argv: archivo, "w" o "r". Escribe "listo" (o "negado") y espera a que se cierre su entrada.
constexpr const char* kGuion = R"(
import fcntl, os, struct, sys
fd = os.open(sys.argv[1], os.O_RDWR if sys.argv[2] == 'w' else os.O_RDONLY)
tipo = fcntl.F_WRLCK if sys.argv[2] == 'w' else fcntl.F_RDLCK
try:
    fcntl.fcntl(fd, fcntl.F_OFD_SETLK, struct.pack('hhqqii', tipo, 0, 0x40000000, 0xB0000000, 0, 0))
    print('listo', flush=True)
except OSError:
    print('negado', flush=True)
    sys.exit(0)
sys.stdin.read()
)";

}  // namespace

Bloqueador::Bloqueador(const std::filesystem::path& archivo, bool exclusivo) {
  int entrada[2], salida[2];
  if (pipe(entrada) != 0 || pipe(salida) != 0) throw std::runtime_error("pipe");
  hijo_ = fork();
  if (hijo_ < 0) throw std::runtime_error("fork");
  if (hijo_ == 0) {
    dup2(entrada[0], 0);
    dup2(salida[1], 1);
    close(entrada[0]);
    close(entrada[1]);
    close(salida[0]);
    close(salida[1]);
    execl(TTS_PYTHON, TTS_PYTHON, "-c", kGuion, archivo.c_str(), exclusivo ? "w" : "r", static_cast<char*>(nullptr));
    _exit(127);
  }
  close(entrada[0]);
  close(salida[1]);
  escritura_ = entrada[1];
  std::string linea;
  char c = 0;
  while (read(salida[0], &c, 1) == 1 && c != '\n') linea += c;
  close(salida[0]);
  if (linea != "listo") {
    this->~Bloqueador();
    throw std::runtime_error("el proceso bloqueador no pudo bloquear " + archivo.string() + ": " + linea);
  }
}

Bloqueador::~Bloqueador() {
  if (escritura_ >= 0) close(escritura_);
  escritura_ = -1;
  if (hijo_ > 0) {
    int estado = 0;
    waitpid(hijo_, &estado, 0);
  }
  hijo_ = -1;
}

bool otro_puede_bloquear(const std::filesystem::path& archivo, bool exclusivo) {
  const Salida s = python(kGuion, comillas(archivo.string()) + (exclusivo ? " w" : " r"));
  if (s.texto == "listo\n") return true;
  if (s.texto == "negado\n") return false;
  throw std::runtime_error("el proceso bloqueador falló: " + s.errores);
}

}  // namespace tts::prueba
