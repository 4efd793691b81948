// El recorrido de la importación: PROFT profesor a profesor y, de cada uno, sus entradas de
// SOLUC en el orden de la tabla, con las búsquedas en ASIGT, ASIGNOMT, DIASHORAST y GRUPOST.
// Cada tabla se lee una sola vez: las búsquedas se contestan con índices que guardan, para
// cada clave, el primer registro que la lleva, y SOLUC se agrupa por PROF (igualdad exacta,
// distinguiendo mayúsculas, como el filtro de la tabla) conservando su orden.
#include <fmt/format.h>

#include <map>
#include <optional>
#include <span>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "comun/error.h"
#include "comun/texto.h"
#include "import/importacion.h"
#include "import/resultado.h"

namespace tts {
namespace {

// Cuántos ejemplos de cada cosa lleva el informe.
constexpr std::size_t kEjemplos = 5;

// Campos que la importación lee de cada tabla.
constexpr std::string_view kCamposSoluc[] = {"PROF", "DIA", "HORA", "ASIG", "CODGRUPO", "AULA"};
constexpr std::string_view kCamposProft[] = {"X_EMPLEADO", "F_TOMAPOS", "ABREV"};
constexpr std::string_view kCamposAsigt[] = {"CASIG", "CGRUP", "CLAVE", "CLAVECURSO"};
constexpr std::string_view kCamposAsignomt[] = {"COD", "CODTAREA"};
constexpr std::string_view kCamposDiashorast[] = {"DIHO", "DIA", "CODDIHO", "HORADESDE", "HORAHASTA"};
constexpr std::string_view kCamposGrupost[] = {"ABREV", "CLAVE"};

void comprobar_campos(const Tabla& tabla, std::span<const std::string_view> campos) {
  for (auto campo : campos)
    if (!tabla.tiene_campo(campo)) throw Error(fmt::format("{}: No se encuentra el campo '{}'", tabla.nombre(), campo));
}

// Un campo leído como entero, con las reglas de la tabla (Tabla::entero). Sólo las entradas
// de un profesor se leen como entero y sólo entonces puede fallar la lectura: el Error de la
// tabla se guarda y sale al usar el valor, no al agrupar SOLUC.
class EnteroDeCampo {
 public:
  EnteroDeCampo(const Tabla& tabla, std::string_view campo) : texto_(tabla.texto(campo)) {
    try {
      valor_ = tabla.entero(campo);
    } catch (const Error& e) {
      error_ = e.what();
    }
  }
  const std::string& texto() const { return texto_; }
  std::int32_t valor() const {
    if (!valor_) throw Error(error_);
    return *valor_;
  }

 private:
  std::string texto_;
  std::optional<std::int32_t> valor_;
  std::string error_;
};

struct EntradaSoluc {
  EnteroDeCampo dia;
  EnteroDeCampo hora;
  std::string asig;
  std::string codgrupo;
  std::string aula;
};

// SOLUC agrupado por PROF, con los códigos en el orden en que aparecen por primera vez.
struct SolucPorProfesor {
  std::unordered_map<std::string, std::vector<EntradaSoluc>> entradas;
  std::vector<std::string> codigos;
};

SolucPorProfesor agrupar_soluc(Tabla& soluc) {
  SolucPorProfesor grupos;
  for (soluc.primero(); !soluc.fin(); soluc.siguiente()) {
    EntradaSoluc e{EnteroDeCampo(soluc, "DIA"), EnteroDeCampo(soluc, "HORA"), soluc.texto("ASIG"),
                   soluc.texto("CODGRUPO"), soluc.texto("AULA")};
    auto [pos, nuevo] = grupos.entradas.try_emplace(soluc.texto("PROF"));
    if (nuevo) grupos.codigos.push_back(pos->first);
    pos->second.push_back(std::move(e));
  }
  return grupos;
}

struct Asignacion {
  std::string clave;
  std::string clavecurso;
};
struct Tramo {
  std::string dia;
  std::string coddiho;
  std::string horadesde;
  std::string horahasta;
};

// Los índices de las búsquedas: para cada clave, los valores del primer registro que la lleva.
struct Indices {
  std::map<std::pair<std::string, std::string>, Asignacion> asignaciones;  // (CASIG, CGRUP)
  std::unordered_map<std::string, std::string> actividades;                // COD -> CODTAREA
  std::unordered_map<std::string, Tramo> tramos;                           // DIHO
  std::unordered_map<std::string, std::string> unidades;                   // ABREV -> CLAVE
};

Indices construir_indices(Componentes& c) {
  Indices ind;
  Tabla& asigt = c.wwTableAsig.tabla();
  for (asigt.primero(); !asigt.fin(); asigt.siguiente())
    ind.asignaciones.try_emplace({asigt.texto("CASIG"), asigt.texto("CGRUP")},
                                 Asignacion{asigt.texto("CLAVE"), asigt.texto("CLAVECURSO")});
  Tabla& asignomt = c.wwTableNomAsg.tabla();
  for (asignomt.primero(); !asignomt.fin(); asignomt.siguiente())
    ind.actividades.try_emplace(asignomt.texto("COD"), asignomt.texto("CODTAREA"));
  Tabla& tramos = c.wwTableTramos.tabla();
  for (tramos.primero(); !tramos.fin(); tramos.siguiente())
    ind.tramos.try_emplace(tramos.texto("DIHO"), Tramo{tramos.texto("DIA"), tramos.texto("CODDIHO"),
                                                       tramos.texto("HORADESDE"), tramos.texto("HORAHASTA")});
  Tabla& grupost = c.wwTableGrupos.tabla();
  for (grupost.primero(); !grupost.fin(); grupost.siguiente())
    ind.unidades.try_emplace(grupost.texto("ABREV"), grupost.texto("CLAVE"));
  return ind;
}

// Búsquedas sin resultado de un tipo: cuántas y las primeras.
struct Faltas {
  std::size_t cuantas = 0;
  std::vector<std::string> ejemplos;

  void anotar(std::string ejemplo) {
    if (cuantas++ < kEjemplos) ejemplos.push_back(std::move(ejemplo));
  }
};

// "a; b y c", o "a; b; c y 4 más" si hay más de los que se muestran.
std::string lista_ejemplos(const std::vector<std::string>& ejemplos, std::size_t total, std::string_view separador) {
  std::string lista;
  for (std::size_t i = 0; i < ejemplos.size(); ++i) {
    if (i > 0) lista += (i + 1 == ejemplos.size() && total == ejemplos.size()) ? std::string_view(" y ") : separador;
    lista += ejemplos[i];
  }
  if (total > ejemplos.size()) lista += fmt::format(" y {} más", total - ejemplos.size());
  return lista;
}

std::string cuenta(std::size_t n, std::string_view singular, std::string_view plural) {
  return fmt::format("{} {}", n, n == 1 ? singular : plural);
}

void avisar_faltas(Informe& informe, const Faltas& f, std::string_view que, std::string_view consecuencia) {
  if (f.cuantas == 0) return;
  informe.avisa(fmt::format("{} {}; {}: {}.", cuenta(f.cuantas, "entrada", "entradas"), que, consecuencia,
                            lista_ejemplos(f.ejemplos, f.cuantas, "; ")));
}

// Las búsquedas sin resultado de una ejecución, por tabla.
struct FaltasBusquedas {
  Faltas asignacion, actividad, tramo, unidad;
  // Entradas sin unidad (CODGRUPO vacío): actividades que no son clases. No tienen asignación
  // ni unidad que buscar, y no se avisan como faltas.
  std::size_t sin_grupo = 0;

  void avisar(Informe& informe) const {
    if (sin_grupo > 0)
      informe.informa(fmt::format("{} sin unidad (CODGRUPO vacío), de actividades que no son clases: "
                                  "X_UNIDAD, X_OFERTAMATRIG y X_MATERIAOMG quedan vacíos.",
                                  cuenta(sin_grupo, "entrada", "entradas")));
    avisar_faltas(informe, asignacion, "sin asignación en ASIGT (CASIG y CGRUP)",
                  "X_OFERTAMATRIG y X_MATERIAOMG quedan vacíos");
    avisar_faltas(informe, actividad, "sin fila en ASIGNOMT (COD)", "X_ACTIVIDAD queda en 1");
    avisar_faltas(informe, tramo, "sin tramo en DIASHORAST (DIHO)",
                  "N_DIASEMANA y X_TRAMO quedan vacíos y N_HORINI y N_HORFIN en 0");
    avisar_faltas(informe, unidad, "sin unidad en GRUPOST (ABREV)", "X_UNIDAD queda vacío");
  }
};

// Los valores de una entrada con día, en el orden de las búsquedas: asignación, fila de
// actividad, tramo, aula y unidad. Todos empiezan vacíos. Las que no encuentran nada se
// anotan en faltas, si se da.
ValoresEntrada buscar_valores(const Indices& indices, const EntradaSoluc& e, std::string_view abrev,
                              FaltasBusquedas* faltas) {
  const std::string hora = std::to_string(e.hora.valor());
  const auto falta = [&](Faltas FaltasBusquedas::*cual, const std::string& que) {
    if (faltas == nullptr) return;
    (faltas->*cual).anotar(fmt::format("profesor {}, día {}, hora {} ({})", cp1252_a_utf8(abrev),
                                       cp1252_a_utf8(e.dia.texto()), hora, que));
  };

  ValoresEntrada v;
  const bool sin_grupo = recortar(e.codgrupo).empty();
  if (sin_grupo && faltas != nullptr) ++faltas->sin_grupo;
  if (auto a = indices.asignaciones.find({e.asig, e.codgrupo}); a != indices.asignaciones.end()) {
    v.clave = a->second.clave;
    v.clavecurso = a->second.clavecurso;
  } else if (!sin_grupo) {
    falta(&FaltasBusquedas::asignacion,
          fmt::format("ASIG '{}', CODGRUPO '{}'", cp1252_a_utf8(e.asig), cp1252_a_utf8(e.codgrupo)));
  }
  if (auto a = indices.actividades.find(e.asig); a != indices.actividades.end())
    v.codtarea = a->second;
  else
    falta(&FaltasBusquedas::actividad, fmt::format("ASIG '{}'", cp1252_a_utf8(e.asig)));
  const std::string clave_tramo = e.dia.texto() + hora;
  if (auto t = indices.tramos.find(clave_tramo); t != indices.tramos.end()) {
    v.dia = t->second.dia;
    v.coddiho = t->second.coddiho;
    v.horadesde = t->second.horadesde;
    v.horahasta = t->second.horahasta;
  } else {
    falta(&FaltasBusquedas::tramo, fmt::format("DIHO '{}'", cp1252_a_utf8(clave_tramo)));
  }
  if (!recortar(e.aula).empty()) v.aula = e.aula;
  if (auto u = indices.unidades.find(e.codgrupo); u != indices.unidades.end())
    v.unidad = u->second;
  else if (!sin_grupo)
    falta(&FaltasBusquedas::unidad, fmt::format("CODGRUPO '{}'", cp1252_a_utf8(e.codgrupo)));
  return v;
}

// Los registros de SOLUC cuyo PROF no es el ABREV de ningún profesor.
void avisar_sin_profesor(Informe& informe, const SolucPorProfesor& por_profesor,
                         const std::unordered_set<std::string>& abrev_vistos) {
  std::size_t registros = 0;
  std::vector<std::string> codigos;
  for (const auto& codigo : por_profesor.codigos) {
    if (abrev_vistos.count(codigo) > 0) continue;
    registros += por_profesor.entradas.at(codigo).size();
    codigos.push_back(codigo);
  }
  if (registros == 0) return;
  std::vector<std::string> ejemplos;
  for (std::size_t i = 0; i < codigos.size() && i < kEjemplos; ++i)
    ejemplos.push_back("'" + cp1252_a_utf8(codigos[i]) + "'");
  informe.avisa(fmt::format("{} de SOLUC con un PROF que no es el ABREV de ningún profesor de PROFT no {}: {}.",
                            cuenta(registros, "registro", "registros"),
                            registros == 1 ? "se ha escrito" : "se han escrito",
                            lista_ejemplos(ejemplos, codigos.size(), ", ")));
}

}  // namespace

ResultadoImportacion importar(Documento& documento, Componentes& componentes, const std::filesystem::path& origen,
                              Informe& informe, std::chrono::system_clock::time_point instante) {
  const std::string nombre_origen = texto_ruta(origen);

  // Todo lo que puede impedir la importación se comprueba antes de tocar el documento.
  // Primero el sobre: sin él tampoco hay año que leer.
  ConstructorResultado::comprobar_origen(documento, nombre_origen);
  const std::string anno = anno_academico(documento, nombre_origen);

  Tabla& soluc = componentes.wwTableSoluc.tabla();
  Tabla& proft = componentes.wwTableProfesor.tabla();
  comprobar_campos(soluc, kCamposSoluc);
  comprobar_campos(proft, kCamposProft);
  comprobar_campos(componentes.wwTableAsig.tabla(), kCamposAsigt);
  comprobar_campos(componentes.wwTableNomAsg.tabla(), kCamposAsignomt);
  comprobar_campos(componentes.wwTableTramos.tabla(), kCamposDiashorast);
  comprobar_campos(componentes.wwTableGrupos.tabla(), kCamposGrupost);

  const Indices indices = construir_indices(componentes);
  proft.quitar_filtro();
  soluc.quitar_filtro();
  const std::size_t profesores = proft.cuantos();
  // Sin profesores no se lee SOLUC.
  const SolucPorProfesor por_profesor = profesores > 0 ? agrupar_soluc(soluc) : SolucPorProfesor{};

  ConstructorResultado resultado(documento, anno);
  resultado.empezar(sello_tiempo(instante), profesores);

  ResultadoImportacion salida;
  std::unordered_set<std::string> abrev_vistos;
  std::size_t sin_dia = 0;
  FaltasBusquedas faltas;
  const std::vector<EntradaSoluc> ninguna;

  std::size_t n = 0;
  for (proft.primero(); !proft.fin(); proft.siguiente()) {
    const std::string x_empleado = proft.texto("X_EMPLEADO");
    const std::string f_tomapos = proft.texto("F_TOMAPOS");
    const std::string abrev = proft.texto("ABREV");
    const auto pos = por_profesor.entradas.find(abrev);
    const auto& entradas = pos == por_profesor.entradas.end() ? ninguna : pos->second;
    // Un ABREV repetido en PROFT repite las entradas, pero el informe las cuenta una vez.
    const bool primera_vez = abrev_vistos.insert(abrev).second;

    resultado.profesor(++n, entradas.size(), x_empleado, f_tomapos);
    ++salida.profesores;

    std::size_t k = 0;
    for (const auto& e : entradas) {
      if (e.dia.valor() == 0) {
        if (primera_vez) ++sin_dia;
        continue;
      }
      resultado.entrada(++k, buscar_valores(indices, e, abrev, primera_vez ? &faltas : nullptr));
      ++salida.entradas;
    }
  }

  salida.archivo = ruta_resultado(origen);
  guardar_resultado(documento, salida.archivo);

  informe.informa(fmt::format("Resultado: {} y {} escritos en {}.", cuenta(salida.profesores, "profesor", "profesores"),
                              cuenta(salida.entradas, "entrada", "entradas"), texto_ruta(salida.archivo)));
  if (sin_dia > 0)
    informe.avisa(fmt::format("{} de SOLUC sin día (DIA 0) no {}; {} en los registros de su profesor.",
                              cuenta(sin_dia, "registro", "registros"), sin_dia == 1 ? "se ha escrito" : "se han escrito",
                              sin_dia == 1 ? "cuenta" : "cuentan"));

  avisar_sin_profesor(informe, por_profesor, abrev_vistos);
  faltas.avisar(informe);
  return salida;
}

}  // namespace tts
