#include "xml/documento.h"

#include <libxml/SAX2.h>
#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xmlsave.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <system_error>

#include "comun/error.h"
#include "xml/ruta.h"

namespace tts {

namespace fs = std::filesystem;

namespace {

const xmlChar* x(const std::string& s) { return reinterpret_cast<const xmlChar*>(s.c_str()); }
const char* c(const xmlChar* s) { return reinterpret_cast<const char*>(s); }

struct LiberaDoc {
  void operator()(xmlDoc* d) const { xmlFreeDoc(d); }
};
struct LiberaContexto {
  void operator()(xmlParserCtxt* c) const { xmlFreeParserCtxt(c); }
};
struct LiberaBuffer {
  void operator()(xmlBuffer* b) const { xmlBufferFree(b); }
};
struct LiberaTexto {
  void operator()(xmlChar* t) const { xmlFree(t); }
};
using TextoXml = std::unique_ptr<xmlChar, LiberaTexto>;

void iniciar_libxml2() {
  // Una sola vez por proceso y de forma segura entre hilos.
  static const bool iniciado = (xmlInitParser(), true);
  (void)iniciado;
}

std::string nombre_para_mensajes(std::string_view nombre) {
  return nombre.empty() ? std::string("(documento en memoria)") : std::string(nombre);
}

// Lo que el análisis de un archivo deja anotado: el primer error del analizador y si el
// documento declaraba un DTD.
struct EstadoAnalisis {
  bool declara_dtd = false;
  int linea_dtd = 0;
  std::optional<std::string> mensaje;
  int linea = 0;
  int columna = 0;
};

EstadoAnalisis& estado_de(void* contexto) {
  auto* ctxt = static_cast<xmlParserCtxt*>(contexto);
  return *static_cast<EstadoAnalisis*>(ctxt->_private);
}

// Errores del analizador: se guardan en el estado del análisis y no se escriben en ningún
// sitio. Sólo cuenta el primero de nivel error o fatal; los avisos no se muestran.
void al_error(void* contexto, xmlError* error) {
  if (contexto == nullptr || error == nullptr || error->level < XML_ERR_ERROR) return;
  auto& estado = estado_de(contexto);
  if (estado.mensaje) return;
  std::string mensaje = error->message ? error->message : "error desconocido";
  // Algunos mensajes ocupan varias líneas: van en una.
  std::replace(mensaje.begin(), mensaje.end(), '\n', ' ');
  while (!mensaje.empty() && mensaje.back() == ' ') mensaje.pop_back();
  estado.mensaje = std::move(mensaje);
  estado.linea = error->line;
  estado.columna = error->int2;
}

// Un DTD (subconjunto interno o externo) o una declaración de entidad detienen el análisis:
// no se expande ni se carga nada.
void al_dtd(void* contexto, const xmlChar*, const xmlChar*, const xmlChar*) {
  auto* ctxt = static_cast<xmlParserCtxt*>(contexto);
  auto& estado = estado_de(contexto);
  if (!estado.declara_dtd) {
    estado.declara_dtd = true;
    estado.linea_dtd = xmlSAX2GetLineNumber(ctxt);
  }
  xmlStopParser(ctxt);
}
void al_entidad(void* contexto, const xmlChar*, int, const xmlChar*, const xmlChar*, xmlChar*) {
  al_dtd(contexto, nullptr, nullptr, nullptr);
}

// Motivo de un fallo del sistema, en castellano para los casos corrientes.
std::string motivo(int codigo) {
  switch (codigo) {
    case EACCES:
    case EPERM: return "sin permiso";
    case ENOTDIR: return "una parte de la ruta no es una carpeta";
    case ENAMETOOLONG: return "la ruta es demasiado larga";
    case ELOOP: return "la ruta tiene demasiados enlaces";
    case EIO: return "error de entrada y salida";
    case ENOENT: return "la ruta no existe";
    case EISDIR: return "es una carpeta";
    case ENOSPC: return "no queda espacio en el disco";
    case EROFS: return "el disco es de sólo lectura";
    default: return std::strerror(codigo);
  }
}

std::string leer_bytes(const fs::path& archivo) {
  const std::string nombre = archivo.string();
  std::error_code ec;
  const auto estado = fs::status(archivo, ec);
  if (ec && ec != std::errc::no_such_file_or_directory)
    throw Error("El archivo XML no se puede leer: " + nombre + " (" + motivo(ec.value()) + ")");
  if (!fs::exists(estado)) throw Error("El archivo XML no existe: " + nombre);
  if (fs::is_directory(estado)) throw Error("El archivo XML es una carpeta, no un archivo: " + nombre);
  // Un dispositivo o una tubería podrían no acabar nunca.
  if (!fs::is_regular_file(estado)) throw Error("El archivo XML no es un archivo normal: " + nombre);
  const auto tamano = fs::file_size(archivo, ec);
  if (!ec && tamano > static_cast<std::uintmax_t>(INT_MAX)) throw Error("El archivo XML es demasiado grande: " + nombre);
  errno = 0;
  std::ifstream entrada(archivo, std::ios::binary);
  if (!entrada) {
    const int err = errno;
    throw Error("El archivo XML no se puede leer: " + nombre + (err ? " (" + motivo(err) + ")" : std::string()));
  }
  std::ostringstream bytes;
  bytes << entrada.rdbuf();
  if (entrada.bad()) throw Error("El archivo XML no se puede leer: " + nombre + " (error de entrada y salida)");
  return std::move(bytes).str();
}

bool es_ancestro_o_igual(const xmlNode* posible, const xmlNode* nodo) {
  for (const xmlNode* n = nodo; n != nullptr; n = n->parent)
    if (n == posible) return true;
  return false;
}

}  // namespace

// ---------------------------------------------------------------------------------------
// El documento: el árbol de libxml2 y los elementos creados que aún no están en él. Estos
// últimos no los libera xmlFreeDoc, así que se liberan aquí si siguen sueltos al final.

namespace {

// Elementos creados que aún no están colgados en el árbol.
struct Sueltos {
  std::vector<xmlNode*> nodos;

  ~Sueltos() { liberar(); }
  void liberar() {
    for (xmlNode* n : nodos)
      if (n->parent == nullptr) xmlFreeNode(n);
    nodos.clear();
  }
  void quitar(xmlNode* n) { std::erase(nodos, n); }
};

}  // namespace

struct Documento::Impl {
  // Los sueltos se declaran después del documento para liberarse antes que él.
  std::unique_ptr<xmlDoc, LiberaDoc> doc;
  Sueltos sueltos;

  void reemplazar(xmlDoc* nuevo) {
    sueltos.liberar();
    doc.reset(nuevo);
    doc->_private = &sueltos;
  }
};

namespace {

Sueltos* sueltos_de(const xmlNode* n) {
  if (n == nullptr || n->doc == nullptr) return nullptr;
  return static_cast<Sueltos*>(n->doc->_private);
}

// Cuelga hijo como último hijo de padre (un elemento o el nodo documento). donde nombra al
// padre en los mensajes, sin artículo: "documento", "elemento «X»".
void colgar(xmlNode* padre, xmlNode* hijo, const std::string& donde) {
  if (hijo == nullptr) throw Error("No se puede añadir al " + donde + " un nodo que no existe");
  if (hijo->type != XML_ELEMENT_NODE) throw Error("Sólo se pueden añadir elementos al " + donde);
  if (hijo->doc != padre->doc) throw Error("No se puede añadir al " + donde + " un elemento de otro documento");
  if (es_ancestro_o_igual(hijo, padre))
    throw Error("No se puede añadir el elemento «" + std::string(c(hijo->name)) + "» dentro de sí mismo");
  if (auto* sueltos = sueltos_de(hijo)) sueltos->quitar(hijo);
  xmlUnlinkNode(hijo);
  xmlAddChild(padre, hijo);
}

void descolgar(xmlNode* padre, xmlNode* hijo, const std::string& donde) {
  if (hijo == nullptr) throw Error("No se puede quitar del " + donde + " un nodo que no existe");
  if (hijo->parent != padre) {
    const std::string nombre = hijo->name ? c(hijo->name) : "";
    throw Error("No se puede quitar el nodo «" + nombre + "»: no es hijo del " + donde);
  }
  xmlUnlinkNode(hijo);
  xmlFreeNode(hijo);
}

std::string descripcion(const xmlNode* n) { return "«" + std::string(n->name ? c(n->name) : "") + "»"; }

// Un texto que se va a escribir: UTF-8 válido y sin caracteres que XML 1.0 no admite (los
// de control salvo tabulador, salto de línea y retorno, y U+FFFE, U+FFFF), que darían un
// archivo que nadie podría leer.
void exigir_texto_xml(std::string_view texto, const char* que, const xmlNode* nodo) {
  const std::string t(texto);
  const std::string donde = nodo && nodo->name ? " de «" + std::string(c(nodo->name)) + "»" : std::string();
  if (xmlCheckUTF8(x(t)) == 0 || t.find('\0') != std::string::npos)
    throw Error(std::string("El ") + que + donde + " no es texto UTF-8 válido");
  for (std::size_t i = 0; i < t.size(); ++i) {
    const auto b = static_cast<unsigned char>(t[i]);
    int codigo = -1;
    if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') codigo = b;
    else if (b == 0xEF && t.compare(i, 2, "\xEF\xBF") == 0 && i + 2 < t.size() &&
             (static_cast<unsigned char>(t[i + 2]) == 0xBE || static_cast<unsigned char>(t[i + 2]) == 0xBF))
      codigo = 0xFFC0 + (static_cast<unsigned char>(t[i + 2]) & 0x3F);
    if (codigo >= 0)
      throw Error(std::string("El ") + que + donde + " lleva un carácter que XML no admite (código " +
                  std::to_string(codigo) + ")");
  }
}

void exigir_nombre(std::string_view nombre, const char* que) {
  const std::string n(nombre);
  if (n.empty() || xmlValidateName(x(n), 0) != 0)
    throw Error(std::string("«") + n + "» no es un nombre válido de " + que + " XML");
}

void exigir_elemento(const xmlNode* n, const char* operacion) {
  if (n == nullptr || n->type != XML_ELEMENT_NODE)
    throw Error(std::string("No se puede ") + operacion + ": el nodo no es un elemento del documento");
}

}  // namespace

// ---------------------------------------------------------------------------------------
// Nodo

std::string Nodo::nombre() const {
  if (nodo_ == nullptr || nodo_->name == nullptr) return {};
  return c(nodo_->name);
}

std::string Nodo::texto() const {
  if (nodo_ == nullptr) return {};
  TextoXml t(xmlNodeGetContent(nodo_));
  return t ? std::string(c(t.get())) : std::string();
}

std::string Nodo::atributo(std::string_view nombre) const {
  if (nodo_ == nullptr || nodo_->type != XML_ELEMENT_NODE) return {};
  TextoXml t(xmlGetNoNsProp(nodo_, x(std::string(nombre))));
  return t ? std::string(c(t.get())) : std::string();
}

std::vector<Nodo> Nodo::hijos_elemento(std::string_view nombre) const {
  std::vector<Nodo> hijos;
  if (nodo_ == nullptr) return hijos;
  for (xmlNode* h = nodo_->children; h != nullptr; h = h->next)
    if (h->type == XML_ELEMENT_NODE && h->ns == nullptr && c(h->name) == nombre) hijos.push_back(Nodo(h));
  return hijos;
}

void Nodo::poner_atributo(std::string_view nombre, std::string_view valor) {
  exigir_elemento(nodo_, "poner un atributo");
  exigir_nombre(nombre, "atributo");
  exigir_texto_xml(valor, "valor del atributo", nodo_);
  // xmlSetProp toma el valor tal cual (sin interpretar "&"); si el atributo ya existe,
  // cambia su valor en su sitio.
  if (xmlSetProp(nodo_, x(std::string(nombre)), x(std::string(valor))) == nullptr)
    throw Error("No se pudo poner el atributo «" + std::string(nombre) + "» en " + descripcion(nodo_));
}

void Nodo::poner_texto(std::string_view texto) {
  exigir_elemento(nodo_, "poner el texto");
  exigir_texto_xml(texto, "texto", nodo_);
  // Quita y libera el contenido anterior; luego un único nodo de texto literal, que al
  // guardar se escapa.
  xmlNodeSetContent(nodo_, nullptr);
  if (!texto.empty()) {
    if (texto.size() > static_cast<std::size_t>(INT_MAX)) throw Error("El texto es demasiado largo para el XML");
    xmlNodeAddContentLen(nodo_, reinterpret_cast<const xmlChar*>(texto.data()), static_cast<int>(texto.size()));
  }
}

void Nodo::anadir_hijo(Nodo hijo) {
  exigir_elemento(nodo_, "añadir un hijo");
  colgar(nodo_, hijo.nodo_, "elemento " + descripcion(nodo_));
}

void Nodo::quitar_hijo(Nodo hijo) {
  exigir_elemento(nodo_, "quitar un hijo");
  descolgar(nodo_, hijo.nodo_, "elemento " + descripcion(nodo_));
}

// ---------------------------------------------------------------------------------------
// Documento

Documento::Documento() : impl_(std::make_unique<Impl>()) {
  iniciar_libxml2();
  xmlDoc* d = xmlNewDoc(BAD_CAST "1.0");
  if (d == nullptr) throw Error("No se pudo crear el documento XML");
  d->encoding = xmlStrdup(BAD_CAST "UTF-8");
  impl_->reemplazar(d);
}

xmlDoc* Documento::arbol() const {
  if (!impl_) throw Error("El documento XML ya no está disponible: se trasladó a otro");
  return impl_->doc.get();
}

Documento::~Documento() = default;
Documento::Documento(Documento&&) noexcept = default;
Documento& Documento::operator=(Documento&&) noexcept = default;

void Documento::cargar(const std::filesystem::path& archivo) {
  const std::string bytes = leer_bytes(archivo);
  cargar_memoria(bytes, archivo.string());
}

void Documento::cargar_memoria(std::string_view bytes, std::string_view nombre) {
  iniciar_libxml2();
  const std::string archivo = nombre_para_mensajes(nombre);
  if (bytes.empty()) throw Error("El archivo XML está vacío: " + archivo);
  if (bytes.size() > static_cast<std::size_t>(INT_MAX)) throw Error("El archivo XML es demasiado grande: " + archivo);

  std::unique_ptr<xmlParserCtxt, LiberaContexto> ctxt(xmlNewParserCtxt());
  if (!ctxt || ctxt->sax == nullptr) throw Error("No se pudo preparar el análisis del archivo XML " + archivo);
  EstadoAnalisis estado;
  ctxt->_private = &estado;
  ctxt->sax->serror = al_error;
  ctxt->sax->internalSubset = al_dtd;
  ctxt->sax->externalSubset = al_dtd;
  ctxt->sax->entityDecl = al_entidad;

  // Sin red, sin cargar DTD, sin sustituir entidades y con los límites de libxml2.
  const int opciones = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING;
  xmlDoc* leido = xmlCtxtReadMemory(ctxt.get(), bytes.data(), static_cast<int>(bytes.size()),
                                    nombre.empty() ? nullptr : archivo.c_str(), nullptr, opciones);
  std::unique_ptr<xmlDoc, LiberaDoc> nuevo(leido);
  if (estado.declara_dtd || (nuevo && (nuevo->intSubset != nullptr || nuevo->extSubset != nullptr)))
    throw Error("El archivo XML " + archivo + " declara un DTD o entidades, que no se admiten" +
                (estado.linea_dtd > 0 ? " (línea " + std::to_string(estado.linea_dtd) + ")" : std::string()));
  if (!nuevo || !ctxt->wellFormed || estado.mensaje) {
    std::string mensaje = "El archivo XML no es válido: " + archivo + ": ";
    if (estado.mensaje) {
      mensaje += *estado.mensaje;
      if (estado.linea > 0) {
        mensaje += " (línea " + std::to_string(estado.linea);
        if (estado.columna > 0) mensaje += ", columna " + std::to_string(estado.columna);
        mensaje += ")";
      }
    } else {
      mensaje += "el analizador no dio un documento";
    }
    throw Error(mensaje);
  }
  if (xmlDocGetRootElement(nuevo.get()) == nullptr) throw Error("El archivo XML no tiene elemento raíz: " + archivo);
  if (!impl_) impl_ = std::make_unique<Impl>();
  impl_->reemplazar(nuevo.release());
}

std::vector<Nodo> Documento::seleccionar(std::string_view ruta) const {
  const Ruta r = analizar_ruta(ruta);
  std::vector<xmlNode*> actuales{reinterpret_cast<xmlNode*>(arbol())};
  for (const auto& paso : r.pasos) {
    std::vector<xmlNode*> siguientes;
    for (xmlNode* padre : actuales)
      for (xmlNode* h = padre->children; h != nullptr; h = h->next) {
        if (h->type != XML_ELEMENT_NODE || h->ns != nullptr || c(h->name) != paso.nombre) continue;
        if (paso.atributo) {
          TextoXml valor(xmlGetNoNsProp(h, x(*paso.atributo)));
          if (!valor || c(valor.get()) != paso.valor) continue;
        }
        siguientes.push_back(h);
      }
    actuales = std::move(siguientes);
    if (actuales.empty()) break;
  }
  std::vector<Nodo> nodos;
  nodos.reserve(actuales.size());
  for (xmlNode* n : actuales) nodos.push_back(Nodo(n));
  return nodos;
}

Nodo Documento::seleccionar_uno(std::string_view ruta) const {
  auto nodos = seleccionar(ruta);
  return nodos.empty() ? Nodo() : nodos.front();
}

Nodo Documento::elemento_raiz() const { return Nodo(xmlDocGetRootElement(arbol())); }

Nodo Documento::crear_elemento(std::string_view nombre) {
  exigir_nombre(nombre, "elemento");
  xmlNode* n = xmlNewDocNode(arbol(), nullptr, x(std::string(nombre)), nullptr);
  if (n == nullptr) throw Error("No se pudo crear el elemento «" + std::string(nombre) + "»");
  try {
    impl_->sueltos.nodos.push_back(n);
  } catch (...) {
    xmlFreeNode(n);
    throw;
  }
  return Nodo(n);
}

void Documento::anadir_hijo(Nodo hijo) {
  xmlNode* raiz = xmlDocGetRootElement(arbol());
  if (raiz != nullptr && raiz != hijo.crudo())
    throw Error("El documento XML ya tiene elemento raíz (" + descripcion(raiz) + "); no se puede añadir otro");
  colgar(reinterpret_cast<xmlNode*>(arbol()), hijo.crudo(), "documento");
}

void Documento::quitar_hijo(Nodo hijo) {
  descolgar(reinterpret_cast<xmlNode*>(arbol()), hijo.crudo(), "documento");
}

std::string Documento::serializar() const {
  xmlDoc* d = arbol();
  // Sin codificación declarada se escribe UTF-8 y la declaración sigue sin nombrarla.
  const char* codificacion = d->encoding ? c(d->encoding) : nullptr;
  std::unique_ptr<xmlBuffer, LiberaBuffer> buffer(xmlBufferCreate());
  if (!buffer) throw Error("No se pudo preparar la escritura del documento XML");
  xmlSaveCtxt* guardado = xmlSaveToBuffer(buffer.get(), codificacion, XML_SAVE_NO_EMPTY);
  if (guardado == nullptr)
    throw Error(std::string("No se puede escribir el documento XML en la codificación «") +
                (codificacion ? codificacion : "UTF-8") + "»");
  const long escrito = xmlSaveDoc(guardado, d);
  const int cerrado = xmlSaveClose(guardado);
  if (escrito < 0 || cerrado < 0) throw Error("No se pudo escribir el documento XML");
  return std::string(c(xmlBufferContent(buffer.get())), static_cast<std::size_t>(xmlBufferLength(buffer.get())));
}

void Documento::guardar(const std::filesystem::path& archivo) const {
  const std::string bytes = serializar();
  errno = 0;
  std::ofstream salida(archivo, std::ios::binary | std::ios::trunc);
  if (!salida) {
    const int err = errno;
    throw Error("No se puede escribir el archivo XML: " + archivo.string() +
                (err ? " (" + motivo(err) + ")" : std::string()));
  }
  salida.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  salida.close();
  if (!salida) throw Error("No se pudo terminar de escribir el archivo XML: " + archivo.string());
}

}  // namespace tts
