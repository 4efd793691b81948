#include "xml/ruta.h"

#include <libxml/tree.h>

#include "comun/error.h"

namespace tts {
namespace {

[[noreturn]] void fuera_del_subconjunto(std::string_view ruta, std::string_view motivo) {
  throw Error("La ruta XML «" + std::string(ruta) + "» no es de las admitidas: " + std::string(motivo));
}

bool es_nombre(const std::string& nombre) {
  return !nombre.empty() && xmlValidateNCName(reinterpret_cast<const xmlChar*>(nombre.c_str()), 0) == 0;
}

}  // namespace

Ruta analizar_ruta(std::string_view ruta) {
  Ruta r;
  if (ruta.empty() || ruta.front() != '/') fuera_del_subconjunto(ruta, "debe empezar por «/»");
  bool con_condicion = false;
  std::size_t i = 1;
  while (true) {
    PasoRuta paso;
    std::size_t fin = i;
    while (fin < ruta.size() && ruta[fin] != '/' && ruta[fin] != '[') ++fin;
    paso.nombre = std::string(ruta.substr(i, fin - i));
    if (!es_nombre(paso.nombre))
      fuera_del_subconjunto(ruta, paso.nombre.empty() ? "tiene un paso vacío" : "«" + paso.nombre + "» no es un nombre de elemento");
    i = fin;
    if (i < ruta.size() && ruta[i] == '[') {
      if (con_condicion) fuera_del_subconjunto(ruta, "sólo un paso puede llevar condición");
      con_condicion = true;
      constexpr std::string_view kInicio = "[@seq=";
      if (ruta.substr(i, kInicio.size()) != kInicio)
        fuera_del_subconjunto(ruta, "la única condición admitida es [@seq=\"NOMBRE\"]");
      i += kInicio.size();
      if (i >= ruta.size() || (ruta[i] != '"' && ruta[i] != '\''))
        fuera_del_subconjunto(ruta, "el valor de la condición debe ir entre comillas");
      const char comilla = ruta[i++];
      const std::size_t cierre = ruta.find(comilla, i);
      if (cierre == std::string_view::npos) fuera_del_subconjunto(ruta, "falta la comilla de cierre");
      paso.atributo = "seq";
      paso.valor = std::string(ruta.substr(i, cierre - i));
      i = cierre + 1;
      if (i >= ruta.size() || ruta[i] != ']') fuera_del_subconjunto(ruta, "falta «]» tras la condición");
      ++i;
    }
    r.pasos.push_back(std::move(paso));
    if (i == ruta.size()) break;
    if (ruta[i] != '/') fuera_del_subconjunto(ruta, "sobra texto tras la condición");
    ++i;
  }
  return r;
}

}  // namespace tts
