// ExportarAsignaciones: la tabla ASIGT, una fila por materia ofrecida en un curso y unidad
// de ese curso. Lee ASIGNOMT y GRUPOST por sus componentes persistentes y responde a las
// dos búsquedas con índices hechos una vez, que dan la primera fila que casa en orden de
// grabación, como lo haría un recorrido desde la primera fila.
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include <fmt/format.h>

#include "export/exportacion.h"
#include "export/pasos.h"
#include "tables/carpeta.h"
#include "xml/sobre.h"

namespace tts {
namespace {

struct Unidad {
  std::string abrev, nivel, curso, grupo;
};

// Cierra los dos componentes que abre el paso en cualquier salida; en la normal el paso los
// cierra antes él mismo, para que un error al cerrar llegue al usuario.
class CierreDelPaso {
 public:
  explicit CierreDelPaso(Componentes& c) : c_(c) {}
  ~CierreDelPaso() {
    try {
      c_.wwTableGrupos.cerrar();
    } catch (...) {
    }
    try {
      c_.wwTableNomAsg.cerrar();
    } catch (...) {
    }
  }
  CierreDelPaso(const CierreDelPaso&) = delete;
  CierreDelPaso& operator=(const CierreDelPaso&) = delete;

 private:
  Componentes& c_;
};

}  // namespace

void ExportarAsignaciones(ContextoExportacion& ctx) {
  const std::vector<DefinicionCampo> campos = {
      DefinicionCampo::caracter("CASIG", 4),       DefinicionCampo::caracter("CPROF", 4),
      DefinicionCampo::caracter("CGRUP", 4),       DefinicionCampo::caracter("CAULA", 4),
      DefinicionCampo::caracter("TURNO", 1),       DefinicionCampo::caracter("NIVEL", 5),
      DefinicionCampo::caracter("CURSO", 3),       DefinicionCampo::caracter("GRUPO", 2),
      DefinicionCampo::flotante("HORAS"),          DefinicionCampo::caracter("SESIONES", 20),
      DefinicionCampo::caracter("CLAVE", 10),      DefinicionCampo::caracter("CLAVECURSO", 10),
      DefinicionCampo::caracter("TAREA", 10)};
  tabla_nueva(ctx.carpeta, "ASIGT", campos);
  pasos::Cortes cortes(ctx.informe, "ASIGT");
  Tabla asigt = pasos::abrir(ctx.carpeta, "ASIGT", cortes);

  CierreDelPaso cierre(ctx.componentes);
  ctx.componentes.wwTableGrupos.abrir(ctx.carpeta);
  ctx.componentes.wwTableNomAsg.abrir(ctx.carpeta);

  // Unidades de cada curso, en orden de GRUPOST; la clave de curso se compara exacta.
  std::unordered_map<std::string, std::vector<Unidad>> unidades_de;
  {
    Tabla& grupost = ctx.componentes.wwTableGrupos.tabla();
    for (grupost.primero(); !grupost.fin(); grupost.siguiente())
      unidades_de[grupost.texto("CLAVECURSO")].push_back(
          {grupost.texto("ABREV"), grupost.texto("NIVEL"), grupost.texto("CURSO"), grupost.texto("GRUPO")});
  }
  // Código de cada nombre guardado, sin distinguir mayúsculas: el de la primera fila.
  std::unordered_map<std::string, std::string, DispersionSinMayusculas, IgualSinMayusculas> codigo_de;
  {
    Tabla& asignomt = ctx.componentes.wwTableNomAsg.tabla();
    for (asignomt.primero(); !asignomt.fin(); asignomt.siguiente())
      codigo_de.try_emplace(asignomt.texto("NOMBRE"), asignomt.texto("COD"));
  }

  std::size_t filas = 0;
  pasos::ListaBreve sin_fila;
  pasos::ListaBreve cursos_sin_unidades;
  std::set<std::string> cursos_vistos;
  // Las notas de lectura de MATERIAS ya las dio el paso de materias.
  Grupo materias(ctx.documento, grupos::MATERIAS);
  for (const Registro& r : materias.utilizables()) {
    const std::string clave_curso = r.texto(0);
    const std::string clave = r.texto(1);
    const std::string nombre = r.texto(2);
    const auto cod = codigo_de.find(pasos::almacenado(nombre, 40));
    if (cod == codigo_de.end() || cod->second.empty()) {
      sin_fila.anadir(nombre);
      continue;
    }
    const auto unidades = unidades_de.find(clave_curso);
    if (unidades == unidades_de.end()) {
      if (cursos_vistos.insert(clave_curso).second) cursos_sin_unidades.anadir(clave_curso);
      continue;
    }
    for (const Unidad& u : unidades->second) {
      asigt.anadir();
      asigt.poner("CASIG", cod->second);
      asigt.poner("CGRUP", u.abrev);
      asigt.poner("CAULA", "");
      asigt.poner("TURNO", "");
      asigt.poner("NIVEL", u.nivel);
      asigt.poner("CURSO", u.curso);
      asigt.poner("GRUPO", u.grupo);
      asigt.poner_flotante("HORAS", 4.0);
      asigt.poner("SESIONES", "1111");
      asigt.poner("CLAVE", clave);
      asigt.poner("CLAVECURSO", clave_curso);
      asigt.grabar();
      ++filas;
    }
  }
  asigt.cerrar();
  ctx.componentes.wwTableGrupos.cerrar();
  ctx.componentes.wwTableNomAsg.cerrar();
  cortes.volcar();

  pasos::anotar_filas(ctx.informe, "ASIGT", filas);
  if (!sin_fila.vacia())
    ctx.informe.avisa(fmt::format("ASIGT: {} {} sin fila en ASIGNOMT, sin asignaciones: {}", sin_fila.cuantos(),
                                  sin_fila.cuantos() == 1 ? "materia" : "materias", sin_fila.texto()));
  if (!cursos_sin_unidades.vacia())
    ctx.informe.informa(fmt::format("ASIGT: {} {} sin unidades en GRUPOST, sus materias no dan asignaciones: {}",
                                    cursos_sin_unidades.cuantos(),
                                    cursos_sin_unidades.cuantos() == 1 ? "curso" : "cursos",
                                    cursos_sin_unidades.texto()));
}

}  // namespace tts
