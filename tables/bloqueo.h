// Archivo abierto con su bloqueo. Un .DBF abierto en exclusiva lo ve así cualquier otro
// proceso: en POSIX, con un bloqueo de descripción de archivo abierto (fcntl F_OFD_SETLK,
// sin esperar) sobre la región de bloqueo de dBase, de escritura para el modo exclusivo y de
// lectura para el compartido; así lo ven también los programas que corren bajo Wine, que
// convierte LockFileEx en bloqueos POSIX. En Windows, los modos de compartición de CreateFile.
// El bloqueo y el archivo se sueltan al destruirse el objeto, por cualquier camino.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "tables/tabla.h"

namespace tts {

class ArchivoBloqueado {
 public:
  // Abre un archivo existente y toma el bloqueo del modo. Error "La tabla <ruta> está en uso
  // por otro programa" si otro lo tiene; Error si no existe o no se puede abrir.
  static ArchivoBloqueado abrir(const std::filesystem::path& ruta, Modo modo);

  // Crea un archivo nuevo (Error si ya existe) con el bloqueo exclusivo tomado.
  static ArchivoBloqueado crear(const std::filesystem::path& ruta);

  ArchivoBloqueado(ArchivoBloqueado&& otro) noexcept;
  ArchivoBloqueado& operator=(ArchivoBloqueado&& otro) noexcept;
  ArchivoBloqueado(const ArchivoBloqueado&) = delete;
  ArchivoBloqueado& operator=(const ArchivoBloqueado&) = delete;
  ~ArchivoBloqueado();

  std::string leer_todo() const;                                   // el archivo entero
  void escribir(std::uint64_t posicion, std::string_view datos);  // todo o Error
  void truncar(std::uint64_t tamano);
  void cerrar() noexcept;                                          // suelta bloqueo y archivo
  const std::filesystem::path& ruta() const { return ruta_; }

 private:
  ArchivoBloqueado(std::filesystem::path ruta, std::intptr_t descriptor);
  std::filesystem::path ruta_;
  std::intptr_t descriptor_ = -1;  // int en POSIX, HANDLE en Windows
};

// Si otro programa tiene abierto el archivo (existente): intenta tomar el bloqueo exclusivo
// y lo suelta enseguida.
bool en_uso_por_otro(const std::filesystem::path& ruta);

// El mensaje de una tabla que otro programa tiene abierta.
std::string mensaje_en_uso(const std::filesystem::path& ruta);

}  // namespace tts
