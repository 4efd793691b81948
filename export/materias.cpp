// ExportarMaterias y ExportarActividades: la tabla ASIGNOMT de asignaturas y actividades.
//
// Un registro escribe fila cuando su nombre, tal como lo guarda NOMBRE (40 caracteres sin
// blancos finales), no es, sin distinguir mayúsculas, el de ninguna fila escrita antes, de
// materias o de actividades. Su código largo son los primeros 8 caracteres del nombre,
// hechos únicos entre los largos (anchura 8, prefijo 7); su código corto, los primeros 4,
// únicos entre los cortos (anchura 4, prefijo 3). Así dos nombres que empiezan igual tienen
// cada uno su fila, y el paso de asignaciones encuentra cada materia por su nombre.
#include <string>
#include <vector>

#include "export/exportacion.h"
#include "export/pasos.h"
#include "tables/carpeta.h"
#include "xml/sobre.h"

namespace tts {
namespace {

constexpr std::size_t kAnchoNombre = 40;
constexpr std::size_t kAnchoCodigoLargo = 8;
constexpr std::size_t kAnchoCodigoCorto = 4;

std::vector<DefinicionCampo> campos_asignomt() {
  return {DefinicionCampo::caracter("COD", 4), DefinicionCampo::caracter("CODLARGO", 8),
          DefinicionCampo::caracter("NOMBRE", 40), DefinicionCampo::caracter("MATERIA", 8),
          DefinicionCampo::caracter("CODTAREA", 12)};
}

// Escribe la fila del nombre si es nuevo; codtarea sólo para las actividades.
bool anadir_si_nuevo(ContextoExportacion& ctx, Tabla& tabla, const std::string& nombre, const std::string* codtarea) {
  if (!ctx.nombres_con_fila.insert(pasos::almacenado(nombre, kAnchoNombre)).second) return false;
  const std::string largo =
      AsignarCodigoCorto(pasos::inicio(nombre, kAnchoCodigoLargo), ctx.ListaCodigosLargos, 7);
  const std::string corto =
      AsignarCodigoCorto(pasos::inicio(nombre, kAnchoCodigoCorto), ctx.ListaCodigosCortos, 3);
  tabla.anadir();
  tabla.poner("COD", corto);
  tabla.poner("CODLARGO", largo);
  tabla.poner("NOMBRE", nombre);
  if (codtarea) tabla.poner("CODTAREA", *codtarea);
  tabla.grabar();
  return true;
}

}  // namespace

void ExportarMaterias(ContextoExportacion& ctx) {
  const auto campos = campos_asignomt();
  tabla_nueva(ctx.carpeta, "ASIGNOMT", campos);
  Grupo grupo(ctx.documento, grupos::MATERIAS);
  pasos::Cortes cortes(ctx.informe, "ASIGNOMT");
  Tabla tabla = pasos::abrir(ctx.carpeta, "ASIGNOMT", cortes);
  std::size_t filas = 0;
  for (const Registro& r : grupo.utilizables())
    if (anadir_si_nuevo(ctx, tabla, r.texto(2), nullptr)) ++filas;
  tabla.cerrar();
  grupo.anotar(ctx.informe);
  cortes.volcar();
  pasos::anotar_filas(ctx.informe, "ASIGNOMT", filas, "materias");
}

void ExportarActividades(ContextoExportacion& ctx) {
  Grupo grupo(ctx.documento, grupos::ACTIVIDADES);
  pasos::Cortes cortes(ctx.informe, "ASIGNOMT");
  Tabla tabla = pasos::abrir(ctx.carpeta, "ASIGNOMT", cortes);
  std::size_t filas = 0;
  for (const Registro& r : grupo.utilizables()) {
    const std::string codtarea = r.texto(1);
    if (anadir_si_nuevo(ctx, tabla, r.texto(2), &codtarea)) ++filas;
  }
  tabla.cerrar();
  grupo.anotar(ctx.informe);
  cortes.volcar();
  pasos::anotar_filas(ctx.informe, "ASIGNOMT", filas, "actividades");
  anotar_acortados(ctx.ListaCodigosCortos, ctx.informe);
  anotar_acortados(ctx.ListaCodigosLargos, ctx.informe);
}

}  // namespace tts
