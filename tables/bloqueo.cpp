#include "tables/bloqueo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "comun/error.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tts {

namespace fs = std::filesystem;

std::string mensaje_en_uso(const fs::path& ruta) {
  return "La tabla " + ruta.string() + " está en uso por otro programa";
}

ArchivoBloqueado::ArchivoBloqueado(fs::path ruta, std::intptr_t descriptor)
    : ruta_(std::move(ruta)), descriptor_(descriptor) {}

ArchivoBloqueado::ArchivoBloqueado(ArchivoBloqueado&& otro) noexcept
    : ruta_(std::move(otro.ruta_)), descriptor_(std::exchange(otro.descriptor_, -1)) {}

ArchivoBloqueado& ArchivoBloqueado::operator=(ArchivoBloqueado&& otro) noexcept {
  if (this != &otro) {
    cerrar();
    ruta_ = std::move(otro.ruta_);
    descriptor_ = std::exchange(otro.descriptor_, -1);
  }
  return *this;
}

ArchivoBloqueado::~ArchivoBloqueado() { cerrar(); }

bool en_uso_por_otro(const fs::path& ruta) {
  try {
    ArchivoBloqueado a = ArchivoBloqueado::abrir(ruta, Modo::exclusivo);
    return false;
  } catch (const Error&) {
    return true;
  }
}

#ifdef _WIN32

// En Windows el bloqueo es el modo de compartición con que se abre el archivo.
namespace {
HANDLE manejador(std::intptr_t d) { return reinterpret_cast<HANDLE>(d); }
}  // namespace

ArchivoBloqueado ArchivoBloqueado::abrir(const fs::path& ruta, Modo modo) {
  const DWORD compartir = modo == Modo::exclusivo ? 0 : (FILE_SHARE_READ | FILE_SHARE_WRITE);
  HANDLE h = CreateFileW(ruta.c_str(), GENERIC_READ | GENERIC_WRITE, compartir, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    const DWORD e = GetLastError();
    if (e == ERROR_SHARING_VIOLATION || e == ERROR_LOCK_VIOLATION) throw Error(mensaje_en_uso(ruta));
    if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) throw Error("No existe la tabla " + ruta.string());
    throw Error("No se puede abrir el archivo " + ruta.string());
  }
  return ArchivoBloqueado(ruta, reinterpret_cast<std::intptr_t>(h));
}

ArchivoBloqueado ArchivoBloqueado::crear(const fs::path& ruta) {
  HANDLE h = CreateFileW(ruta.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_EXISTS) throw Error("La tabla " + ruta.string() + " ya existe");
    throw Error("No se puede crear el archivo " + ruta.string());
  }
  return ArchivoBloqueado(ruta, reinterpret_cast<std::intptr_t>(h));
}

std::string ArchivoBloqueado::leer_todo() const {
  LARGE_INTEGER tam{};
  LARGE_INTEGER cero{};
  if (!GetFileSizeEx(manejador(descriptor_), &tam) || !SetFilePointerEx(manejador(descriptor_), cero, nullptr, FILE_BEGIN))
    throw Error("No se puede leer el archivo " + ruta_.string());
  std::string datos(static_cast<std::size_t>(tam.QuadPart), '\0');
  std::size_t hecho = 0;
  while (hecho < datos.size()) {
    DWORD leidos = 0;
    const DWORD pedir = static_cast<DWORD>(std::min<std::size_t>(datos.size() - hecho, 1u << 30));
    if (!ReadFile(manejador(descriptor_), datos.data() + hecho, pedir, &leidos, nullptr) || leidos == 0)
      throw Error("No se puede leer el archivo " + ruta_.string());
    hecho += leidos;
  }
  return datos;
}

void ArchivoBloqueado::escribir(std::uint64_t posicion, std::string_view datos) {
  LARGE_INTEGER p{};
  p.QuadPart = static_cast<LONGLONG>(posicion);
  if (!SetFilePointerEx(manejador(descriptor_), p, nullptr, FILE_BEGIN))
    throw Error("No se puede escribir el archivo " + ruta_.string());
  std::size_t hecho = 0;
  while (hecho < datos.size()) {
    DWORD escritos = 0;
    const DWORD pedir = static_cast<DWORD>(std::min<std::size_t>(datos.size() - hecho, 1u << 30));
    if (!WriteFile(manejador(descriptor_), datos.data() + hecho, pedir, &escritos, nullptr) || escritos == 0)
      throw Error("No se puede escribir el archivo " + ruta_.string());
    hecho += escritos;
  }
}

void ArchivoBloqueado::truncar(std::uint64_t tamano) {
  LARGE_INTEGER p{};
  p.QuadPart = static_cast<LONGLONG>(tamano);
  if (!SetFilePointerEx(manejador(descriptor_), p, nullptr, FILE_BEGIN) || !SetEndOfFile(manejador(descriptor_)))
    throw Error("No se puede escribir el archivo " + ruta_.string());
}

void ArchivoBloqueado::cerrar() noexcept {
  if (descriptor_ != -1) CloseHandle(manejador(std::exchange(descriptor_, -1)));
}

#else

namespace {

[[noreturn]] void error_de_sistema(const std::string& que, const fs::path& ruta, int numero) {
  throw Error("No se puede " + que + " el archivo " + ruta.string() + ": " + std::strerror(numero));
}

// La región de bloqueo de dBase: el archivo nunca llega a ella, así que bloquearla no
// estorba a quien lee o escribe bytes del archivo.
constexpr off_t kInicioRegion = 0x40000000;
constexpr off_t kLongRegion = 0xB0000000;  // hasta 0xEFFFFFFF

#ifdef F_OFD_SETLK
constexpr int kOrdenBloqueo = F_OFD_SETLK;
#else
constexpr int kOrdenBloqueo = F_SETLK;  // sin bloqueos OFD: los de proceso
#endif

// Toma el bloqueo sin esperar; false si otro lo tiene.
bool bloquear(int fd, Modo modo, const fs::path& ruta) {
  struct flock fl {};
  fl.l_type = modo == Modo::exclusivo ? F_WRLCK : F_RDLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kInicioRegion;
  fl.l_len = kLongRegion;
  fl.l_pid = 0;
  if (fcntl(fd, kOrdenBloqueo, &fl) == 0) return true;
  if (errno == EAGAIN || errno == EACCES) return false;
  error_de_sistema("bloquear", ruta, errno);
}

class Descriptor {  // cierra el descriptor si algo falla antes de entregarlo
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int soltar() { return std::exchange(fd_, -1); }

 private:
  int fd_;
};

}  // namespace

ArchivoBloqueado ArchivoBloqueado::abrir(const fs::path& ruta, Modo modo) {
  int fd = ::open(ruta.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0 && modo == Modo::compartido && (errno == EACCES || errno == EROFS))
    fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);  // sólo lectura: basta para leer
  if (fd < 0) {
    if (errno == ENOENT) throw Error("No existe la tabla " + ruta.string());
    error_de_sistema("abrir", ruta, errno);
  }
  Descriptor d(fd);
  struct stat st {};
  if (::fstat(fd, &st) != 0) error_de_sistema("abrir", ruta, errno);
  if (!S_ISREG(st.st_mode)) throw Error("La tabla " + ruta.string() + " no es un archivo");
  if (!bloquear(fd, modo, ruta)) throw Error(mensaje_en_uso(ruta));
  return ArchivoBloqueado(ruta, d.soltar());
}

ArchivoBloqueado ArchivoBloqueado::crear(const fs::path& ruta) {
  const int fd = ::open(ruta.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) {
    if (errno == EEXIST) throw Error("La tabla " + ruta.string() + " ya existe");
    error_de_sistema("crear", ruta, errno);
  }
  Descriptor d(fd);
  if (!bloquear(fd, Modo::exclusivo, ruta)) throw Error(mensaje_en_uso(ruta));
  return ArchivoBloqueado(ruta, d.soltar());
}

std::string ArchivoBloqueado::leer_todo() const {
  const int fd = static_cast<int>(descriptor_);
  struct stat st {};
  if (::fstat(fd, &st) != 0) error_de_sistema("leer", ruta_, errno);
  std::string datos(static_cast<std::size_t>(st.st_size), '\0');
  std::size_t hecho = 0;
  while (hecho < datos.size()) {
    const ssize_t n = ::pread(fd, datos.data() + hecho, datos.size() - hecho, static_cast<off_t>(hecho));
    if (n < 0) {
      if (errno == EINTR) continue;
      error_de_sistema("leer", ruta_, errno);
    }
    if (n == 0) break;  // se acortó mientras se leía
    hecho += static_cast<std::size_t>(n);
  }
  datos.resize(hecho);
  return datos;
}

void ArchivoBloqueado::escribir(std::uint64_t posicion, std::string_view datos) {
  const int fd = static_cast<int>(descriptor_);
  std::size_t hecho = 0;
  while (hecho < datos.size()) {
    const ssize_t n = ::pwrite(fd, datos.data() + hecho, datos.size() - hecho, static_cast<off_t>(posicion + hecho));
    if (n < 0) {
      if (errno == EINTR) continue;
      error_de_sistema("escribir", ruta_, errno);
    }
    hecho += static_cast<std::size_t>(n);
  }
}

void ArchivoBloqueado::truncar(std::uint64_t tamano) {
  if (::ftruncate(static_cast<int>(descriptor_), static_cast<off_t>(tamano)) != 0)
    error_de_sistema("escribir", ruta_, errno);
}

void ArchivoBloqueado::cerrar() noexcept {
  // Cerrar el descriptor suelta el bloqueo OFD, que pertenece a esta descripción abierta.
  if (descriptor_ >= 0) ::close(static_cast<int>(std::exchange(descriptor_, -1)));
}

#endif

}  // namespace tts
