#include "tables/carpeta.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <system_error>

#include "comun/error.h"
#include "comun/texto.h"
#include "tables/bloqueo.h"

namespace tts {

namespace fs = std::filesystem;

namespace {

// Nombre de carpeta de la preparación, dentro de la carpeta de trabajo.
constexpr std::string_view kNombrePreparacion = ".transtamso-preparacion";

// Igualdad de nombres de archivo sin distinguir mayúsculas, como en Windows. Los nombres
// del sistema de archivos están en UTF-8; se comparan en la página de un byte.
bool mismo_nombre(std::string_view a, std::string_view b) {
  return iguales_sin_mayusculas(utf8_a_cp1252(a), utf8_a_cp1252(b));
}

// La entrada de la carpeta que se llama como nombre sin distinguir mayúsculas: la que se
// escribe igual si existe, si no la primera en orden; vacío si no hay ninguna.
std::optional<fs::path> buscar_entrada(const fs::path& carpeta, std::string_view nombre) {
  std::error_code ec;
  std::vector<std::string> parecidas;
  for (auto it = fs::directory_iterator(carpeta, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    const std::string n = it->path().filename().string();
    if (n == nombre) return carpeta / n;
    if (mismo_nombre(n, nombre)) parecidas.push_back(n);
  }
  if (parecidas.empty()) return std::nullopt;
  std::sort(parecidas.begin(), parecidas.end());
  return carpeta / parecidas.front();
}

// Todas las entradas de la carpeta que se llaman como nombre sin distinguir mayúsculas.
std::vector<fs::path> todas_las_entradas(const fs::path& carpeta, std::string_view nombre) {
  std::vector<fs::path> r;
  std::error_code ec;
  for (auto it = fs::directory_iterator(carpeta, ec); !ec && it != fs::directory_iterator(); it.increment(ec))
    if (mismo_nombre(it->path().filename().string(), nombre)) r.push_back(it->path());
  std::sort(r.begin(), r.end());
  return r;
}

fs::path archivo_con_extension(const fs::path& carpeta, std::string_view tabla, std::string_view extension) {
  const std::string nombre = std::string(tabla) + std::string(extension);
  if (auto e = buscar_entrada(carpeta, nombre)) return *e;
  return carpeta / nombre;
}

void exigir_carpeta(const fs::path& carpeta) {
  std::error_code ec;
  if (!fs::is_directory(carpeta, ec)) throw Error("No existe la carpeta de trabajo " + carpeta.string());
}

}  // namespace

fs::path resolver_ruta_windows(std::string_view ruta) {
#ifdef _WIN32
  return fs::path(std::string(ruta));
#else
  char unidad = 'c';
  std::string_view resto = ruta;
  if (resto.size() >= 2 && resto[1] == ':' &&
      ((resto[0] >= 'A' && resto[0] <= 'Z') || (resto[0] >= 'a' && resto[0] <= 'z'))) {
    unidad = static_cast<char>(resto[0] | 0x20);
    resto.remove_prefix(2);
  }
  fs::path prefijo;
  if (const char* w = std::getenv("WINEPREFIX"); w != nullptr && *w != '\0') {
    prefijo = w;
  } else {
    const char* casa = std::getenv("HOME");
    prefijo = fs::path(casa != nullptr ? casa : "") / ".wine";
  }
  // La unidad c: es drive_c; las demás, el enlace que Wine tiene para ellas.
  fs::path r = unidad == 'c' ? prefijo / "drive_c" : prefijo / "dosdevices" / (std::string(1, unidad) + ":");
  std::size_t i = 0;
  while (i <= resto.size()) {
    const std::size_t fin = resto.find_first_of("\\/", i);
    const std::string_view parte = resto.substr(i, fin == std::string_view::npos ? std::string_view::npos : fin - i);
    if (!parte.empty() && parte != ".") {
      if (parte == "..") {
        r = r.parent_path();
      } else if (auto e = buscar_entrada(r, parte)) {
        r = *e;
      } else {
        r /= std::string(parte);
      }
    }
    if (fin == std::string_view::npos) break;
    i = fin + 1;
  }
  return r;
#endif
}

fs::path archivo_tabla(const fs::path& carpeta, std::string_view tabla) {
  return archivo_con_extension(carpeta, tabla, ".DBF");
}

fs::path archivo_indice(const fs::path& carpeta, std::string_view tabla) {
  return archivo_con_extension(carpeta, tabla, ".MDX");
}

void tabla_nueva(const fs::path& carpeta, std::string_view tabla, std::span<const DefinicionCampo> campos,
                 std::span<const DefinicionIndice> indices) {
  exigir_carpeta(carpeta);
  std::vector<fs::path> viejos = todas_las_entradas(carpeta, std::string(tabla) + ".DBF");
  for (const auto& p : todas_las_entradas(carpeta, std::string(tabla) + ".MDX")) viejos.push_back(p);
  // En POSIX se puede borrar un archivo que otro tiene abierto; se mira antes su bloqueo,
  // para que una tabla en uso sea un error, como lo es en Windows.
  for (const auto& p : viejos)
    if (en_uso_por_otro(p)) throw Error(mensaje_en_uso(p));
  for (const auto& p : viejos) {
    std::error_code ec;
    fs::remove(p, ec);
    if (ec) throw Error("No se puede borrar el archivo " + p.string() + ": " + ec.message());
  }
  Tabla::crear(carpeta / (std::string(tabla) + ".DBF"), campos, indices);
}

Preparacion::Preparacion(const fs::path& carpeta_trabajo) : trabajo_(carpeta_trabajo) {
  exigir_carpeta(trabajo_);
  preparacion_ = trabajo_ / std::string(kNombrePreparacion);
  std::error_code ec;
  fs::remove_all(preparacion_, ec);  // la que dejara una ejecución interrumpida
  if (ec) throw Error("No se puede borrar la carpeta " + preparacion_.string() + ": " + ec.message());
  fs::create_directory(preparacion_, ec);
  if (ec) throw Error("No se puede crear la carpeta " + preparacion_.string() + ": " + ec.message());
}

Preparacion::~Preparacion() {
  std::error_code ec;
  if (!confirmada_) fs::remove_all(preparacion_, ec);
}

void Preparacion::confirmar(std::span<const std::string> tablas) {
  struct Paso {
    fs::path preparado;  // vacío: borrar el vivo
    fs::path vivo;
  };
  std::vector<Paso> pasos;
  std::vector<fs::path> vivos;
  for (const std::string& t : tablas) {
    if (iguales_sin_mayusculas(t, "SOLUC")) continue;  // la escribe el programa de horarios
    const auto dbf = buscar_entrada(preparacion_, t + ".DBF");
    if (!dbf) throw Error("Falta la tabla preparada " + (preparacion_ / (t + ".DBF")).string());
    const auto mdx = buscar_entrada(preparacion_, t + ".MDX");
    const auto dbf_vivo = buscar_entrada(trabajo_, t + ".DBF");
    const auto mdx_vivo = buscar_entrada(trabajo_, t + ".MDX");
    pasos.push_back({*dbf, dbf_vivo.value_or(trabajo_ / (t + ".DBF"))});
    if (mdx) pasos.push_back({*mdx, mdx_vivo.value_or(trabajo_ / (t + ".MDX"))});
    else if (mdx_vivo) pasos.push_back({{}, *mdx_vivo});
    if (dbf_vivo) vivos.push_back(*dbf_vivo);
    if (mdx_vivo) vivos.push_back(*mdx_vivo);
  }
  // Antes de tocar nada: ningún archivo vivo está en uso. Los bloqueos se mantienen
  // mientras se sustituyen, para que nadie los abra entre la comprobación y el cambio.
  std::vector<ArchivoBloqueado> bloqueos;
  for (const auto& p : vivos) {
    try {
      bloqueos.push_back(ArchivoBloqueado::abrir(p, Modo::exclusivo));
    } catch (const Error&) {
      throw Error(mensaje_en_uso(p));
    }
  }
  for (const Paso& p : pasos) {
    std::error_code ec;
    if (p.preparado.empty()) fs::remove(p.vivo, ec);
    else fs::rename(p.preparado, p.vivo, ec);
    if (ec) throw Error("No se puede sustituir el archivo " + p.vivo.string() + ": " + ec.message());
  }
  bloqueos.clear();
  confirmada_ = true;
  std::error_code ec;
  fs::remove_all(preparacion_, ec);
}

}  // namespace tts
