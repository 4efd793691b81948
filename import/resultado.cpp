#include "import/resultado.h"

#include <fmt/format.h>

#include <ctime>
#include <optional>
#include <random>
#include <system_error>

#include "comun/error.h"
#include "comun/fecha.h"
#include "comun/texto.h"
#include "import/importacion.h"
#include "xml/sobre.h"

namespace tts {
namespace {

constexpr std::string_view kRutaBloque = "/SERVICIO/BLOQUE_DATOS";
constexpr std::string_view kRutaServicio = "/SERVICIO";
constexpr std::string_view kPrefijoResultado = "ResultadoTamso";

// " del documento 'x'" o " del documento" si no se sabe el archivo.
std::string del_documento(std::string_view archivo) {
  if (archivo.empty()) return "del documento";
  return fmt::format("del documento '{}'", archivo);
}

bool solo_cifras(std::string_view texto) {
  if (texto.empty()) return false;
  for (char c : texto)
    if (c < '0' || c > '9') return false;
  return true;
}

// El primer dato propio del grupo: el de nombre C_ANNO si alguno lo lleva; si no, el primero.
std::optional<std::string> anno_de_datos_propios(const Documento& documento) {
  const auto datos = datos_propios(documento, "ANNO_ACADEMICO");
  if (datos.empty()) return std::nullopt;
  for (const auto& d : datos)
    if (d.atributo("nombre_dato") == "C_ANNO") return texto_cp1252(d, true);
  return texto_cp1252(datos.front(), true);
}

}  // namespace

std::string anno_academico(const Documento& documento, std::string_view archivo) {
  std::optional<std::string> anno;
  const Grupo grupo(documento, grupos::ANNO_ACADEMICO, 1);
  for (const auto& registro : grupo.utilizables())
    if (registro.cuantos_datos() > 0) anno = registro.texto(0);
  if (!anno) anno = anno_de_datos_propios(documento);

  if (!anno || anno->empty())
    throw Error(fmt::format("No se encuentra el año académico {}: el grupo ANNO_ACADEMICO no tiene el dato C_ANNO.",
                            del_documento(archivo)));
  if (!solo_cifras(*anno))
    throw Error(fmt::format("El año académico '{}' {} (grupo ANNO_ACADEMICO, dato C_ANNO) no es un número: "
                            "debe tener sólo cifras decimales.",
                            cp1252_a_utf8(*anno), del_documento(archivo)));
  return *anno;
}

std::string texto_ruta(const std::filesystem::path& ruta) {
  const auto u8 = ruta.u8string();
  return std::string(u8.begin(), u8.end());
}

std::filesystem::path ruta_resultado(const std::filesystem::path& origen) {
  std::filesystem::path nombre(std::u8string(kPrefijoResultado.begin(), kPrefijoResultado.end()));
  nombre += origen.filename();
  return origen.parent_path() / nombre;
}

std::string sello_tiempo(std::chrono::system_clock::time_point instante) {
  const std::tm local = hora_local(std::chrono::system_clock::to_time_t(instante));
  char texto[64];
  const std::size_t n = std::strftime(texto, sizeof texto, "%d/%m/%Y %H:%M:%S", &local);
  return std::string(texto, n);
}

std::string hora_en_minutos(std::string_view hora) {
  std::string texto(hora);
  if (texto.size() < 5) texto.insert(texto.begin(), '0');
  const std::string_view t(texto);
  const std::int32_t horas = entero_o_error(t.substr(0, 2));
  const std::int32_t minutos = entero_o_error(t.substr(t.size() >= 2 ? t.size() - 2 : 0));
  return std::to_string(static_cast<std::int64_t>(horas) * 60 + minutos);
}

std::string anno_siguiente(std::string_view anno) {
  std::string siguiente(anno);
  for (auto i = siguiente.rbegin(); i != siguiente.rend(); ++i) {
    if (*i != '9') {
      ++*i;
      return siguiente;
    }
    *i = '0';
  }
  siguiente.insert(siguiente.begin(), '1');
  return siguiente;
}

ConstructorResultado::ConstructorResultado(Documento& documento, std::string anno)
    : documento_(documento),
      anno_(std::move(anno)),
      f_inicio_("01/09/" + anno_),
      f_fin_("31/08/" + anno_siguiente(anno_)) {}

void ConstructorResultado::comprobar_origen(const Documento& documento, std::string_view archivo) {
  if (!documento.elemento_raiz() || !documento.seleccionar_uno(kRutaBloque))
    throw Error(fmt::format("El documento {} no tiene el elemento /SERVICIO/BLOQUE_DATOS: no es un archivo de "
                            "intercambio de la administración.",
                            archivo.empty() ? std::string("de origen") : fmt::format("'{}'", archivo)));
}

Nodo ConstructorResultado::dato(Nodo padre, std::string_view nombre, std::string_view valor_cp1252) {
  Nodo d = documento_.crear_elemento("dato");
  d.poner_atributo("nombre_dato", nombre);
  d.poner_texto(cp1252_a_utf8(valor_cp1252));
  padre.anadir_hijo(d);
  return d;
}

void ConstructorResultado::empezar(std::string_view sello, std::size_t profesores) {
  comprobar_origen(documento_, "");

  // La raíz del origen sale con todo lo que lleva; lo de fuera de ella se queda.
  Nodo raiz = documento_.elemento_raiz();
  raiz.quitar_hijo(documento_.seleccionar_uno(kRutaBloque));
  documento_.quitar_hijo(documento_.seleccionar_uno(kRutaServicio));

  Nodo servicio = documento_.crear_elemento("SERVICIO");
  servicio.poner_atributo("modulo", "HORARIOS");
  servicio.poner_atributo("tipo", "I");
  servicio.poner_atributo("autor", "HORARIOS");
  servicio.poner_atributo("fecha", sello);
  documento_.anadir_hijo(servicio);

  Nodo bloque = documento_.crear_elemento("BLOQUE_DATOS");
  servicio.anadir_hijo(bloque);

  // El grupo del año se añade ya con su dato; los demás grupos, antes de llenarse.
  Nodo anno = documento_.crear_elemento("grupo_datos");
  anno.poner_atributo("seq", "ANNO_ACADEMICO");
  dato(anno, "C_ANNO", anno_);
  bloque.anadir_hijo(anno);

  horarios_ = documento_.crear_elemento("grupo_datos");
  bloque.anadir_hijo(horarios_);
  horarios_.poner_atributo("seq", "HORARIOS_REGULARES");
  horarios_.poner_atributo("registros", std::to_string(profesores));
}

void ConstructorResultado::profesor(std::size_t n, std::size_t registros, std::string_view x_empleado,
                                    std::string_view f_tomapos) {
  profesor_ = documento_.crear_elemento("grupo_datos");
  profesor_.poner_atributo("seq", "HORARIO_REGULAR_PROFESOR_" + std::to_string(n));
  profesor_.poner_atributo("registros", std::to_string(registros));
  horarios_.anadir_hijo(profesor_);
  dato(profesor_, "X_EMPLEADO", x_empleado);
  dato(profesor_, "F_TOMAPOS", f_tomapos);
}

void ConstructorResultado::entrada(std::size_t k, const ValoresEntrada& v) {
  Nodo grupo = documento_.crear_elemento("grupo_datos");
  grupo.poner_atributo("seq", "ACTIVIDAD_" + std::to_string(k));
  profesor_.anadir_hijo(grupo);

  const std::string horini = hora_en_minutos(v.horadesde);
  const std::string horfin = hora_en_minutos(v.horahasta);
  const bool sin_tarea = recortar(v.codtarea).empty();

  dato(grupo, "N_DIASEMANA", v.dia);
  dato(grupo, "X_TRAMO", v.coddiho);
  dato(grupo, "X_DEPENDENCIA", v.aula);
  dato(grupo, "X_UNIDAD", v.unidad);
  dato(grupo, "X_OFERTAMATRIG", v.clavecurso);
  dato(grupo, "X_MATERIAOMG", v.clave);
  dato(grupo, "F_INICIO", f_inicio_);
  dato(grupo, "F_FIN", f_fin_);
  dato(grupo, "N_HORINI", horini);
  dato(grupo, "N_HORFIN", horfin);
  dato(grupo, "X_ACTIVIDAD", sin_tarea ? std::string_view("1") : std::string_view(v.codtarea));
}

namespace {

// Un nombre que no existe en la carpeta de destino, para el temporal del guardado.
std::filesystem::path nombre_temporal(const std::filesystem::path& destino) {
  std::random_device azar;
  for (;;) {
    const std::uint64_t n = (static_cast<std::uint64_t>(azar()) << 32) ^ azar();
    auto nombre = destino.filename();
    nombre += fmt::format(".{:016x}.tmp", n);
    auto ruta = destino.parent_path() / nombre;
    std::error_code ec;
    if (!std::filesystem::exists(ruta, ec) && !ec) return ruta;
    if (ec) return ruta;  // la carpeta no se puede mirar: el guardado lo dirá
  }
}

// Borra el temporal al salir, salvo que ya se haya renombrado.
class Temporal {
 public:
  explicit Temporal(std::filesystem::path ruta) : ruta_(std::move(ruta)) {}
  ~Temporal() {
    if (activo_) {
      std::error_code ec;
      std::filesystem::remove(ruta_, ec);
    }
  }
  Temporal(const Temporal&) = delete;
  Temporal& operator=(const Temporal&) = delete;
  const std::filesystem::path& ruta() const { return ruta_; }
  void soltar() { activo_ = false; }

 private:
  std::filesystem::path ruta_;
  bool activo_ = true;
};

}  // namespace

void guardar_resultado(const Documento& documento, const std::filesystem::path& destino) {
  const auto carpeta = destino.parent_path();
  std::error_code ec;
  if (!carpeta.empty() && !std::filesystem::is_directory(carpeta, ec))
    throw Error(fmt::format("No se puede guardar el resultado '{}': la carpeta '{}' no existe.", texto_ruta(destino),
                            texto_ruta(carpeta)));

  Temporal temporal(nombre_temporal(destino));
  documento.guardar(temporal.ruta());
  std::filesystem::rename(temporal.ruta(), destino, ec);
  if (ec)
    throw Error(fmt::format("No se puede guardar el resultado '{}': {}.", texto_ruta(destino), ec.message()));
  temporal.soltar();
}

}  // namespace tts
