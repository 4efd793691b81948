#include "xml/sobre.h"

#include <algorithm>
#include <array>

#include "comun/error.h"
#include "comun/texto.h"

namespace tts {

namespace grupos {
namespace {

// Para cada posición que leen los lectores de un grupo, el nombre_dato que la lleva. En
// MATERIAS la exportación real pone el nombre de la materia (D_MATERIAC) en la posición 1 y
// su clave (X_MATERIAOMG) en la 2; por eso se lee por nombre cuando el registro los trae.
constexpr std::array<Campo, 3> kMaterias{{{0, "X_OFERTAMATRIG"}, {1, "X_MATERIAOMG"}, {2, "D_MATERIAC"}}};
constexpr std::array<Campo, 2> kActividades{{{1, "X_ACTIVIDAD"}, {2, "D_ACTIVIDAD"}}};
constexpr std::array<Campo, 5> kEmpleados{
    {{0, "X_EMPLEADO"}, {1, "F_TOMAPOS"}, {3, "APELLIDO1"}, {4, "APELLIDO2"}, {5, "NOMBRE"}}};
constexpr std::array<Campo, 2> kDependencias{{{0, "X_DEPENDENCIA"}, {1, "D_DEPENDENCIA"}}};
constexpr std::array<Campo, 2> kCursos{{{0, "X_OFERTAMATRIG"}, {1, "D_OFERTAMATRIG"}}};
constexpr std::array<Campo, 3> kUnidades{{{0, "X_UNIDAD"}, {1, "T_NOMBRE"}, {2, "X_OFERTAMATRIG"}}};
constexpr std::array<Campo, 4> kTramos{{{0, "X_TRAMO"}, {1, "T_HORCEN"}, {2, "N_INICIO"}, {3, "N_FIN"}}};
constexpr std::array<Campo, 1> kAnno{{{0, "C_ANNO"}}};

}  // namespace

const DefinicionGrupo MATERIAS{"MATERIAS", kMaterias};
const DefinicionGrupo ACTIVIDADES{"ACTIVIDADES", kActividades};
const DefinicionGrupo EMPLEADOS{"EMPLEADOS", kEmpleados};
const DefinicionGrupo DEPENDENCIAS{"DEPENDENCIAS", kDependencias};
const DefinicionGrupo CURSOS_DEL_CENTRO{"CURSOS_DEL_CENTRO", kCursos};
const DefinicionGrupo UNIDADES{"UNIDADES", kUnidades};
const DefinicionGrupo TRAMOS_HORARIOS{"TRAMOS_HORARIOS", kTramos};
const DefinicionGrupo ANNO_ACADEMICO{"ANNO_ACADEMICO", kAnno};

}  // namespace grupos

namespace {

std::string ruta_del_grupo(std::string_view seq) {
  if (seq.find('"') != std::string_view::npos)
    throw Error("El nombre de grupo «" + std::string(seq) + "» no puede llevar comillas");
  return "/SERVICIO/BLOQUE_DATOS/grupo_datos[@seq=\"" + std::string(seq) + "\"]";
}

std::string registros_en_texto(std::size_t n, std::string_view singular, std::string_view plural) {
  return std::to_string(n) + " " + std::string(n == 1 ? singular : plural);
}

}  // namespace

std::string texto_cp1252(const Nodo& nodo, bool recortado) {
  const std::string utf8 = nodo.texto();
  // Los caracteres U+0000 a U+0020 son de un byte en UTF-8: recortar el texto UTF-8 es
  // recortar el texto Unicode.
  return utf8_a_cp1252(recortado ? recortar(utf8) : std::string_view(utf8));
}

std::vector<Nodo> datos_propios(const Documento& documento, std::string_view seq) {
  std::vector<Nodo> datos;
  for (const Nodo& grupo : documento.seleccionar(ruta_del_grupo(seq))) {
    auto suyos = grupo.hijos_elemento("dato");
    datos.insert(datos.end(), suyos.begin(), suyos.end());
  }
  return datos;
}

// ---------------------------------------------------------------------------------------
// Registro

Nodo Registro::dato(int posicion) const {
  if (por_nombre_ && def_ != nullptr) {
    const auto& campos = def_->campos;
    for (std::size_t i = 0; i < campos.size(); ++i)
      if (campos[i].posicion == posicion) return por_posicion_[i];
  }
  if (posicion >= 0 && static_cast<std::size_t>(posicion) < datos_.size()) return datos_[static_cast<std::size_t>(posicion)];
  if (std::find(faltan_.begin(), faltan_.end(), posicion) == faltan_.end()) faltan_.push_back(posicion);
  return Nodo();
}

std::string Registro::texto(int posicion) const { return texto_cp1252(dato(posicion), true); }

std::string Registro::texto_sin_recortar(int posicion) const { return texto_cp1252(dato(posicion), false); }

std::string Registro::primer_caracter(int posicion) const {
  // Cada carácter del texto pasa a un byte, así que el primer byte es el primer carácter.
  return texto_sin_recortar(posicion).substr(0, 1);
}

// ---------------------------------------------------------------------------------------
// Grupo

Grupo::Grupo(const Documento& documento, const DefinicionGrupo& def, std::size_t minimo_datos)
    : def_(&def), minimo_datos_(std::max<std::size_t>(minimo_datos, 1)) {
  const auto registros = documento.seleccionar(ruta_del_grupo(def.seq) + "/grupo_datos");
  registros_ = registros.size();
  for (std::size_t i = 0; i < registros.size(); ++i) {
    auto datos = registros[i].hijos_elemento("dato");
    if (datos.size() < minimo_datos_) continue;
    Registro r;
    r.def_ = &def;
    r.indice_ = i;
    // Por nombre sólo si el registro trae todos los nombres de la lista.
    std::vector<Nodo> por_posicion;
    por_posicion.reserve(def.campos.size());
    for (const Campo& campo : def.campos) {
      const auto hallado = std::find_if(datos.begin(), datos.end(),
                                        [&](const Nodo& d) { return d.atributo("nombre_dato") == campo.nombre_dato; });
      if (hallado == datos.end()) break;
      por_posicion.push_back(*hallado);
    }
    r.por_nombre_ = !def.campos.empty() && por_posicion.size() == def.campos.size();
    if (r.por_nombre_) r.por_posicion_ = std::move(por_posicion);
    r.datos_ = std::move(datos);
    utilizables_.push_back(std::move(r));
  }
}

void Grupo::anotar(Informe& informe) const {
  const std::string grupo = "Grupo «" + std::string(def_->seq) + "»";
  if (omitidos() > 0) {
    informe.avisa(grupo + ": " + registros_en_texto(omitidos(), "registro pasado", "registros pasados") +
                  " por alto por tener menos de " + registros_en_texto(minimo_datos_, "dato", "datos"));
  }
  std::size_t por_nombre = 0;
  for (const Registro& r : utilizables_) {
    if (r.por_nombre()) ++por_nombre;
    if (r.faltan().empty()) continue;
    std::string posiciones;
    for (int p : r.faltan()) {
      posiciones += (posiciones.empty() ? "" : ", ") + std::to_string(p);
      // Con el nombre que esa posición lleva, si el grupo lo conoce.
      for (const Campo& campo : def_->campos)
        if (campo.posicion == p) posiciones += " (" + std::string(campo.nombre_dato) + ")";
    }
    informe.avisa(grupo + ", registro " + std::to_string(r.indice() + 1) + ": " +
                  (r.faltan().size() == 1 ? "no tiene el dato de la posición " + posiciones + "; se tomó como vacío"
                                           : "no tiene los datos de las posiciones " + posiciones + "; se tomaron como vacíos"));
  }
  if (por_nombre > 0)
    informe.informa(grupo + ": " + registros_en_texto(por_nombre, "registro leído", "registros leídos") +
                    " por el nombre de sus datos");
}

}  // namespace tts
