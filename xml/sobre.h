// El sobre de los archivos de la administración: SERVICIO / BLOQUE_DATOS / grupo_datos
// (grupos con nombre en seq) / grupo_datos (registros) / dato (campos). Aquí está el recorrido
// de registros que comparten todos los lectores, y el único punto donde el texto de un dato
// pasa a texto de un byte (Windows-1252), recortado o sin recortar.
//
// Cada grupo que el programa lee tiene una lista de campos: para cada posición que leen sus
// lectores, el nombre_dato que la lleva. Cuando un registro trae todos los nombres de la
// lista, cada valor sale del primer dato de ese nombre; si no, todos salen por su posición.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "comun/informe.h"
#include "xml/documento.h"

namespace tts {

struct Campo {
  int posicion;                 // posición del dato, desde 0
  std::string_view nombre_dato; // nombre que lleva esa posición
};

struct DefinicionGrupo {
  std::string_view seq;            // nombre del grupo, por ejemplo "MATERIAS"
  std::span<const Campo> campos;   // posiciones que se leen, con sus nombres
};

// Los grupos que lee el programa, con sus listas de campos.
namespace grupos {
extern const DefinicionGrupo MATERIAS;
extern const DefinicionGrupo ACTIVIDADES;
extern const DefinicionGrupo EMPLEADOS;
extern const DefinicionGrupo DEPENDENCIAS;
extern const DefinicionGrupo CURSOS_DEL_CENTRO;
extern const DefinicionGrupo UNIDADES;
extern const DefinicionGrupo TRAMOS_HORARIOS;
extern const DefinicionGrupo ANNO_ACADEMICO;
}  // namespace grupos

// Un registro utilizable (o, para el año académico, con al menos un dato).
class Registro {
 public:
  std::size_t cuantos_datos() const { return datos_.size(); }
  bool por_nombre() const { return por_nombre_; }

  // Texto del dato de esa posición, en Windows-1252. Un dato que el registro no tiene da el
  // texto vacío y queda anotado (faltan()).
  std::string texto(int posicion) const;              // recortado
  std::string texto_sin_recortar(int posicion) const;
  std::string primer_caracter(int posicion) const;    // primer carácter del texto sin recortar ("" si vacío)

  // Posiciones leídas que el registro no tenía, sin repetir, en el orden en que se leyeron.
  const std::vector<int>& faltan() const { return faltan_; }
  std::size_t indice() const { return indice_; }  // posición del registro en el grupo, desde 0

 private:
  friend class Grupo;
  Nodo dato(int posicion) const;
  const DefinicionGrupo* def_ = nullptr;
  std::vector<Nodo> datos_;
  std::vector<Nodo> por_posicion_;  // dato que corresponde a cada campo de la lista, si por_nombre_
  bool por_nombre_ = false;
  std::size_t indice_ = 0;
  mutable std::vector<int> faltan_;
};

// Un grupo de registros seleccionado de un documento: el recorrido de registros.
class Grupo {
 public:
  // minimo_datos: 2 para los pasos de exportación (registro utilizable); 1 para el año
  // académico. Un registro sin ningún dato nunca es utilizable.
  Grupo(const Documento& documento, const DefinicionGrupo& def, std::size_t minimo_datos = 2);

  std::size_t registros() const { return registros_; }       // todos, utilizables o no
  const std::vector<Registro>& utilizables() const { return utilizables_; }
  std::size_t omitidos() const { return registros_ - utilizables_.size(); }

  // Anota en el informe lo que el usuario debe saber de la lectura: registros pasados por
  // alto por tener menos datos de los necesarios, registros a los que les faltaban
  // posiciones leídas, y que el grupo se leyó por nombre. Se llama tras el recorrido.
  void anotar(Informe& informe) const;

 private:
  const DefinicionGrupo* def_;
  std::size_t minimo_datos_;
  std::size_t registros_ = 0;
  std::vector<Registro> utilizables_;
};

// Datos propios de un grupo (sus hijos dato, no los de sus registros): el año académico de
// los archivos reales está así. De todos los grupos de ese nombre, en orden.
std::vector<Nodo> datos_propios(const Documento& documento, std::string_view seq);

// Texto de un nodo como texto de un byte, recortado o no.
std::string texto_cp1252(const Nodo& nodo, bool recortado = true);

}  // namespace tts
