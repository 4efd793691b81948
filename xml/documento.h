// Documento: un documento XML en memoria, dueño de su árbol (RAII sobre libxml2), con las
// operaciones que necesitan la lectura del sobre y la construcción del documento de
// resultado. Los nodos son asas ligeras (Nodo) que pertenecen al documento: valen mientras
// viva el documento y el nodo siga en él. Todos los textos que cruzan esta interfaz son
// UTF-8; la conversión a texto de un byte la hace el sobre (xml/sobre.h).
//
// Carga segura: lee los bytes del archivo y los analiza desde memoria, sin red, sin cargar
// DTD ni entidades externas y con los límites de expansión de libxml2. Un archivo que no es
// XML bien formado, o que declara un DTD o entidades, es un Error con el mensaje del
// analizador, la línea y la columna.
#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct _xmlNode;
struct _xmlDoc;

namespace tts {

class Documento;

class Nodo {
 public:
  Nodo() = default;
  explicit operator bool() const { return nodo_ != nullptr; }
  bool operator==(const Nodo& otro) const = default;

  std::string nombre() const;                        // nombre del elemento
  std::string texto() const;                         // texto del nodo y de todo lo que contiene
  std::string atributo(std::string_view nombre) const;  // vacío si no lo tiene
  std::vector<Nodo> hijos_elemento(std::string_view nombre) const;  // hijos con ese nombre, en orden

  // Escritura (construcción del resultado).
  void poner_atributo(std::string_view nombre, std::string_view valor);  // añade o reemplaza; el orden de alta se conserva
  void poner_texto(std::string_view texto);  // el contenido pasa a ser ese texto, escapado; vacío deja el elemento vacío
  // Los dos anteriores: Error si el texto no es UTF-8 o lleva un carácter que XML no admite.
  void anadir_hijo(Nodo hijo);               // el nodo pasa a ser el último hijo; Error si es un antepasado
  void quitar_hijo(Nodo hijo);               // el hijo sale con todo su contenido (y se libera); Error si no es hijo

  _xmlNode* crudo() const { return nodo_; }

 private:
  friend class Documento;
  explicit Nodo(_xmlNode* n) : nodo_(n) {}
  _xmlNode* nodo_ = nullptr;
};

class Documento {
 public:
  Documento();  // documento nuevo y vacío
  ~Documento();
  Documento(Documento&&) noexcept;
  Documento& operator=(Documento&&) noexcept;
  Documento(const Documento&) = delete;
  Documento& operator=(const Documento&) = delete;

  // Carga el archivo; reemplaza lo que hubiera. Error si falta, no se puede leer, está vacío
  // o no es XML bien formado (mensaje con archivo, línea y columna); tras un Error el
  // documento sigue como estaba.
  void cargar(const std::filesystem::path& archivo);
  // Igual, desde bytes en memoria; nombre sirve para los mensajes.
  void cargar_memoria(std::string_view bytes, std::string_view nombre = "");

  // Elementos que casan con una ruta absoluta del subconjunto admitido: pasos de nombre de
  // elemento, uno de los cuales puede llevar [@seq="NOMBRE"]. Por ejemplo
  // /SERVICIO/BLOQUE_DATOS/grupo_datos[@seq="MATERIAS"]/grupo_datos. En orden del documento.
  std::vector<Nodo> seleccionar(std::string_view ruta) const;
  Nodo seleccionar_uno(std::string_view ruta) const;  // el primero, o un Nodo vacío

  Nodo elemento_raiz() const;  // vacío si no hay

  Nodo crear_elemento(std::string_view nombre);  // elemento nuevo, fuera del árbol
  void anadir_hijo(Nodo hijo);                   // como último hijo del documento; Error si ya hay raíz
  void quitar_hijo(Nodo hijo);                   // hijo del documento; Error si no lo es

  // Guarda el documento entero con la declaración y la codificación del origen (UTF-8 si no
  // tenía). Los elementos vacíos se escriben con etiqueta de inicio y de fin. Error si no
  // se puede escribir.
  void guardar(const std::filesystem::path& archivo) const;
  std::string serializar() const;  // los bytes que guardar escribiría

  // Un documento trasladado (std::move) sólo admite cargar, asignarse o destruirse; lo demás
  // es Error.

 private:
  _xmlDoc* arbol() const;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace tts
