#include "tables/componentes.h"

#include <system_error>

#include "comun/error.h"
#include "tables/carpeta.h"

namespace tts {

void Componente::abrir(const std::filesystem::path& carpeta) {
  cerrar();
  const auto ruta = archivo_tabla(carpeta, tabla_);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(ruta, ec)) throw Error(nombre_ + ": No existe la tabla " + ruta.string());
  abierta_.emplace(Tabla::abrir(ruta, Modo::exclusivo, nombre_));
}

void Componente::cerrar() {
  if (!abierta_) return;
  try {
    abierta_->cerrar();
  } catch (...) {
    // Cerrar no lanza: el archivo y su bloqueo se sueltan igualmente al destruir la tabla.
  }
  abierta_.reset();
}

Tabla& Componente::tabla() {
  if (!abierta_) throw Error(nombre_ + ": la tabla " + tabla_ + " no está abierta");
  return *abierta_;
}

std::array<Componente*, 8> Componentes::en_orden() {
  return {&wwTableSoluc, &wwTableGrupos, &wwTableCursos, &wwTableProfesor,
          &wwTableAulas, &wwTableNomAsg, &wwTableTramos, &wwTableAsig};
}

void Componentes::abrir_todos(const std::filesystem::path& carpeta) {
  for (Componente* c : en_orden()) c->abrir(carpeta);
}

void Componentes::cerrar_todos() {
  for (Componente* c : en_orden()) c->cerrar();
}

}  // namespace tts
