// ExportarCursosYUnidades: CURSOST, un curso por fila con su nivel educativo, y GRUPOST,
// una unidad por fila con su código y el nivel y el número de curso de su curso.
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include <fmt/format.h>

#include "export/exportacion.h"
#include "export/pasos.h"
#include "tables/carpeta.h"
#include "xml/sobre.h"

namespace tts {
namespace {

struct FilaNivel {
  std::int32_t desde;
  std::int32_t hasta;
  std::string_view nivel;
};

// Se prueban en este orden; la primera cuyo intervalo (cerrado) contiene la clave decide.
// La séptima se solapa con las de la tercera a la sexta, que van antes.
constexpr FilaNivel kNiveles[] = {
    {2060, 2067, "BAC"},        {2677, 2720, "PGS"},        {4623, 4683, "CFGM"},     {4684, 4756, "CFGS"},
    {4759, 4819, "CFGM"},       {4820, 5206, "CFGS"},       {4312, 5316, "CFGM"},     {5661, 5684, "CFGS"},
    {5887, 5915, "CFGM"},       {100304, 100306, "INF"},    {100315, 100316, "ESPA"}, {100317, 100322, "PRI"},
    {100323, 100326, "ESO"},    {100484, 100499, "CFGS"},   {100502, 100535, "CFGM"}, {101107, 101112, "PGS"},
    {101641, 101671, "BAC"},    {101681, 110099, "ESO"},    {110100, 110116, "ESPA"}, {110940, 111000, "ESO"},
    {111001, 111008, "BAC"},    {111393, 111404, "CFGM"},   {111405, 111407, "CFGS"}, {111411, 111439, "CFGM"},
    {111440, 111447, "ESPA"},   {111448, 111778, "CFGS"},   {111821, 111958, "EE"},
};

constexpr std::string_view kSinNivel = "NIV";

struct NivelYCurso {
  std::string nivel;
  std::string curso;
};

}  // namespace

std::string_view nivel_educativo(std::int32_t clave) {
  for (const FilaNivel& f : kNiveles)
    if (clave >= f.desde && clave <= f.hasta) return f.nivel;
  return kSinNivel;
}

void ExportarCursosYUnidades(ContextoExportacion& ctx) {
  const std::vector<DefinicionCampo> campos_cursos = {
      DefinicionCampo::caracter("ABREV", 3), DefinicionCampo::caracter("TURNO", 1),
      DefinicionCampo::caracter("NIVEL", 5), DefinicionCampo::caracter("CURSO", 3),
      DefinicionCampo::caracter("CLAVE", 10)};
  const std::vector<DefinicionCampo> campos_grupos = {
      DefinicionCampo::caracter("ABREV", 4), DefinicionCampo::caracter("TURNO", 1),
      DefinicionCampo::caracter("NIVEL", 5), DefinicionCampo::caracter("CURSO", 3),
      DefinicionCampo::caracter("GRUPO", 2), DefinicionCampo::caracter("CLAVE", 10),
      DefinicionCampo::caracter("CLAVECURSO", 10)};
  ListaCodigos codigos(4, "Tabla GRUPOST, campo ABREV");
  tabla_nueva(ctx.carpeta, "CURSOST", campos_cursos);
  tabla_nueva(ctx.carpeta, "GRUPOST", campos_grupos);

  // Cursos. El índice guarda, por la clave tal como la devuelve CLAVE, el primer curso de
  // esa clave: la misma respuesta que recorrer CURSOST desde su primera fila.
  std::unordered_map<std::string, NivelYCurso> por_clave;
  pasos::ListaBreve sin_nivel;
  Grupo cursos(ctx.documento, grupos::CURSOS_DEL_CENTRO);
  pasos::Cortes cortes_cursos(ctx.informe, "CURSOST");
  Tabla cursost = pasos::abrir(ctx.carpeta, "CURSOST", cortes_cursos);
  for (const Registro& r : cursos.utilizables()) {
    const std::string clave = r.texto(0);
    const std::int32_t k =
        pasos::entero_del_registro(clave, "CURSOS_DEL_CENTRO", r.indice(), "la clave del curso", ctx.informe);
    const std::string_view nivel = nivel_educativo(k);
    const std::string curso(pasos::inicio(r.texto(1), 1));
    if (nivel == kSinNivel) sin_nivel.anadir(clave);
    cursost.anadir();
    cursost.poner("CLAVE", clave);
    cursost.poner("NIVEL", nivel);
    cursost.poner("CURSO", curso);
    cursost.grabar();
    por_clave.try_emplace(pasos::almacenado(clave, 10),
                          NivelYCurso{pasos::almacenado(nivel, 5), pasos::almacenado(curso, 3)});
  }
  cursos.anotar(ctx.informe);

  // Unidades.
  pasos::ListaBreve sin_curso;
  Grupo unidades(ctx.documento, grupos::UNIDADES);
  pasos::Cortes cortes_grupos(ctx.informe, "GRUPOST");
  Tabla grupost = pasos::abrir(ctx.carpeta, "GRUPOST", cortes_grupos);
  for (const Registro& r : unidades.utilizables()) {
    const std::string clave = r.texto(0);
    const std::string nombre = r.texto(1);
    const std::string clave_curso = r.texto(2);
    NivelYCurso encontrado;
    if (auto it = por_clave.find(clave_curso); it != por_clave.end())
      encontrado = it->second;
    else
      sin_curso.anadir(nombre + " (curso " + clave_curso + ")");
    const std::string grupo = nombre.empty() ? std::string() : nombre.substr(nombre.size() - 1);
    const std::string base(recortar(pasos::inicio(nombre, 4)));
    const std::string codigo = AsignarCodigoCorto(base, codigos, 3);
    grupost.anadir();
    grupost.poner("ABREV", codigo);
    grupost.poner("TURNO", "");
    grupost.poner("NIVEL", encontrado.nivel);
    grupost.poner("CURSO", encontrado.curso);
    grupost.poner("GRUPO", grupo);
    grupost.poner("CLAVE", clave);
    grupost.poner("CLAVECURSO", clave_curso);
    grupost.grabar();
  }
  grupost.cerrar();
  cursost.cerrar();
  unidades.anotar(ctx.informe);
  cortes_cursos.volcar();
  cortes_grupos.volcar();

  pasos::anotar_filas(ctx.informe, "CURSOST", cursos.utilizables().size());
  if (!sin_nivel.vacia())
    ctx.informe.avisa(fmt::format("CURSOST: {} {} con nivel \"NIV\", sin nivel conocido para su clave: {}",
                                  sin_nivel.cuantos(), sin_nivel.cuantos() == 1 ? "curso" : "cursos",
                                  sin_nivel.texto()));
  pasos::anotar_filas(ctx.informe, "GRUPOST", unidades.utilizables().size());
  if (!sin_curso.vacia())
    ctx.informe.avisa(fmt::format("GRUPOST: {} {} sin su curso en CURSOST, con NIVEL y CURSO en blanco: {}",
                                  sin_curso.cuantos(), sin_curso.cuantos() == 1 ? "unidad" : "unidades",
                                  sin_curso.texto()));
  anotar_acortados(codigos, ctx.informe);
}

}  // namespace tts
