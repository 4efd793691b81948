#include "tables/tabla.h"

#include <fmt/format.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>
#include <optional>
#include <sstream>
#include <unordered_map>

#include "comun/error.h"
#include "comun/informe.h"
#include "comun/texto.h"
#include "tables/bloqueo.h"
#include "tables/carpeta.h"
#include "tables/formato.h"
#include "tables/mdx.h"

namespace tts {

namespace fs = std::filesystem;
using namespace formato;

namespace {

enum class Variante { dbase, foxpro, dbase7 };

struct Campo {
  std::string nombre;
  char tipo = 'C';
  std::size_t longitud = 0;
  int decimales = 0;
  std::size_t desplazamiento = 0;  // desde el principio del registro (byte de borrado incluido)
  bool visible = true;             // las columnas de sistema de Visual FoxPro no lo son
};

struct Etiqueta {
  std::string nombre;
  std::size_t campo;
};

// Lo que dice un archivo .DBF ya comprobado contra su propio tamaño.
struct Estructura {
  Variante variante = Variante::dbase;
  std::size_t long_cabecera = 0;
  std::size_t long_registro = 0;
  std::size_t registros = 0;
  std::vector<Campo> campos;
};

std::string mayusculas(std::string_view t) {
  std::string s(t);
  for (char& c : s)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return s;
}

std::string texto_hasta_nul(std::string_view b) {
  return std::string(recortar(b.substr(0, b.find('\0'))));
}

[[noreturn]] void danada(const fs::path& ruta, const std::string& motivo) {
  throw Error("La tabla " + ruta.filename().string() + " está dañada: " + motivo);
}

Estructura analizar(std::string_view d, const fs::path& ruta) {
  Estructura e;
  if (d.size() < kTamCabecera)
    danada(ruta, fmt::format("la cabecera está incompleta ({} bytes de {})", d.size(), kTamCabecera));
  const auto version = static_cast<unsigned char>(d[kCabVersion]);
  std::size_t inicio = kTamCabecera, tam_descriptor = kTamDescriptor;
  switch (version) {
    case 0x04:
    case 0x8C:
      e.variante = Variante::dbase7;
      inicio = kTamCabecera7;
      tam_descriptor = kTamDescriptor7;
      break;
    case 0x30:
    case 0x31:
    case 0x32:
    case 0xF5:
      e.variante = Variante::foxpro;
      break;
    default:
      e.variante = Variante::dbase;
      break;
  }
  e.registros = leer_u32(d, kCabRegistros);
  e.long_cabecera = leer_u16(d, kCabLongCabecera);
  e.long_registro = leer_u16(d, kCabLongRegistro);
  if (e.long_cabecera > d.size())
    danada(ruta, fmt::format("la longitud de cabecera ({}) pasa del final del archivo ({} bytes)", e.long_cabecera,
                             d.size()));
  if (e.long_cabecera <= inicio)
    danada(ruta, fmt::format("la longitud de cabecera ({}) no deja sitio a las descripciones de campo", e.long_cabecera));

  std::size_t p = inicio, desplazamiento = 1;
  for (;;) {
    if (p >= e.long_cabecera || (d[p] != kFinDescriptores && p + tam_descriptor > e.long_cabecera))
      danada(ruta, fmt::format("la longitud de cabecera ({}) es menor que sus descripciones de campo", e.long_cabecera));
    if (d[p] == kFinDescriptores) break;
    const std::string_view des = d.substr(p, tam_descriptor);
    Campo c;
    if (e.variante == Variante::dbase7) {
      c.nombre = texto_hasta_nul(des.substr(kDes7Nombre, kLongNombre7));
      c.tipo = des[kDes7Tipo];
      c.longitud = static_cast<unsigned char>(des[kDes7Longitud]);
      c.decimales = static_cast<unsigned char>(des[kDes7Decimales]);
    } else {
      c.nombre = texto_hasta_nul(des.substr(kDesNombre, kLongNombre));
      c.tipo = des[kDesTipo];
      c.longitud = static_cast<unsigned char>(des[kDesLongitud]);
      c.decimales = static_cast<unsigned char>(des[kDesDecimales]);
      // Visual FoxPro: el indicador 0x01 del byte 18 marca una columna de sistema (_NullFlags).
      if (e.variante == Variante::foxpro && (static_cast<unsigned char>(des[18]) & 0x01) != 0) c.visible = false;
    }
    if (c.tipo == '0') c.visible = false;
    c.desplazamiento = desplazamiento;
    desplazamiento += c.longitud;
    std::size_t necesaria = 0;
    switch (c.tipo) {
      case 'I':
      case '+':
        necesaria = 4;
        break;
      case 'O':
        necesaria = 8;
        break;
      case 'Y':
      case 'T':
      case 'B':
        if (e.variante == Variante::foxpro) necesaria = 8;
        break;
      default:
        break;
    }
    if (necesaria != 0 && c.longitud != necesaria)
      danada(ruta, fmt::format("el campo {} de tipo {} mide {} bytes y no {}", cp1252_a_utf8(c.nombre), c.tipo,
                               c.longitud, necesaria));
    e.campos.push_back(std::move(c));
    p += tam_descriptor;
  }
  if (e.campos.empty()) danada(ruta, "no tiene campos");
  if (e.long_registro != desplazamiento)
    danada(ruta, fmt::format("la longitud de registro ({}) no es la de sus campos ({})", e.long_registro,
                             desplazamiento));
  const std::uint64_t fin = std::uint64_t{e.long_cabecera} + std::uint64_t{e.registros} * e.long_registro;
  if (fin > d.size())
    danada(ruta, fmt::format("los {} registros que anuncia la cabecera pasan del final del archivo", e.registros));
  return e;
}

std::string texto_de_entero(std::int64_t v) { return std::to_string(v); }

std::string texto_de_doble(double v) {
  if (!std::isfinite(v)) return {};
  return fmt::format("{}", v);
}

std::int32_t le32(std::string_view b) { return static_cast<std::int32_t>(leer_u32(b, 0)); }
std::uint64_t le64(std::string_view b) { return std::uint64_t{leer_u32(b, 0)} | std::uint64_t{leer_u32(b, 4)} << 32; }
std::uint64_t be(std::string_view b) {
  std::uint64_t v = 0;
  for (char c : b) v = v << 8 | static_cast<unsigned char>(c);
  return v;
}
bool todo_ceros(std::string_view b) {
  return std::all_of(b.begin(), b.end(), [](char c) { return c == '\0'; });
}

std::optional<double> leer_doble(std::string_view t) {
  if (t.empty()) return std::nullopt;
  if (t.front() == '+') t.remove_prefix(1);
  double v = 0;
  const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
  if (r.ec != std::errc() || r.ptr != t.data() + t.size() || !std::isfinite(v)) return std::nullopt;
  return v;
}

// Fecha civil de un día juliano (Visual FoxPro guarda así la parte de fecha de T).
std::string fecha_juliana(std::int64_t jd) {
  std::int64_t a = jd + 32044;
  std::int64_t b = (4 * a + 3) / 146097;
  std::int64_t c = a - 146097 * b / 4;
  std::int64_t d = (4 * c + 3) / 1461;
  std::int64_t e = c - 1461 * d / 4;
  std::int64_t m = (5 * e + 2) / 153;
  const std::int64_t dia = e - (153 * m + 2) / 5 + 1;
  const std::int64_t mes = m + 3 - 12 * (m / 10);
  const std::int64_t anio = 100 * b + d - 4800 + m / 10;
  return fmt::format("{:04}{:02}{:02}", anio, mes, dia);
}

// El valor de un campo de tipo binario como número, o nada si está vacío o no es numérico.
std::optional<double> numero_binario(const Campo& c, Variante v, std::string_view b) {
  switch (c.tipo) {
    case 'I':
    case '+':
      if (v == Variante::dbase7) {
        if (todo_ceros(b)) return std::nullopt;
        return static_cast<double>(static_cast<std::int32_t>(static_cast<std::uint32_t>(be(b)) ^ 0x80000000u));
      }
      return static_cast<double>(le32(b));
    case 'O': {
      if (todo_ceros(b)) return std::nullopt;
      std::uint64_t bits = be(b);
      // Ordenable como bytes: positivo con el bit de signo puesto, negativo con todos invertidos.
      bits = (bits & 0x8000000000000000ull) != 0 ? bits & ~0x8000000000000000ull : ~bits;
      double x = 0;
      std::memcpy(&x, &bits, sizeof x);
      return x;
    }
    case 'B':
      if (v == Variante::foxpro) {
        const std::uint64_t bits = le64(b);
        double x = 0;
        std::memcpy(&x, &bits, sizeof x);
        return x;
      }
      return std::nullopt;
    case 'Y':
      if (v == Variante::foxpro) return static_cast<double>(static_cast<std::int64_t>(le64(b))) / 10000.0;
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

bool es_binario(const Campo& c, Variante v) {
  return c.tipo == 'I' || c.tipo == '+' || c.tipo == 'O' ||
         (v == Variante::foxpro && (c.tipo == 'B' || c.tipo == 'Y' || c.tipo == 'T'));
}

// El texto de un campo tal como lo ve quien lo lee.
std::string texto_de(const Campo& c, Variante v, std::string_view b) {
  switch (c.tipo) {
    case 'C':
    case 'V': {
      std::string_view t = b;
      while (!t.empty() && (t.back() == ' ' || t.back() == '\0')) t.remove_suffix(1);
      return std::string(t);
    }
    case 'N':
    case 'F':
    case 'D':
      return std::string(recortar(b));
    case 'L':
      if (b.empty()) return {};
      switch (b[0]) {
        case 'T': case 't': case 'Y': case 'y': return "T";
        case 'F': case 'f': case 'N': case 'n': return "F";
        default: return {};
      }
    case 'M':
    case 'G':
    case 'P':
      return {};  // puntero a un archivo de memos, que nunca se necesita
    case 'T':
      if (v == Variante::foxpro) {
        if (todo_ceros(b)) return {};
        const std::int64_t ms = static_cast<std::uint32_t>(le32(b.substr(4)));
        const std::int64_t s = ms / 1000;
        return fecha_juliana(le32(b)) + fmt::format("{:02}{:02}{:02}", s / 3600, s / 60 % 60, s % 60);
      }
      return std::string(recortar(b));
    case 'Y':
      if (v == Variante::foxpro) {
        const auto x = static_cast<std::int64_t>(le64(b));
        const std::uint64_t a = x < 0 ? 0 - static_cast<std::uint64_t>(x) : static_cast<std::uint64_t>(x);
        return fmt::format("{}{}.{:04}", x < 0 ? "-" : "", a / 10000, a % 10000);
      }
      return std::string(recortar(b));
    default:
      if (es_binario(c, v)) {
        const auto x = numero_binario(c, v, b);
        if (!x) return {};
        if (c.tipo == 'I' || c.tipo == '+') return texto_de_entero(static_cast<std::int64_t>(*x));
        return texto_de_doble(*x);
      }
      if (c.tipo == 'B') return {};  // memo de dBase
      return std::string(sin_blancos_finales(b));
  }
}

DefinicionCampo definicion_de(const Campo& c) {
  switch (c.tipo) {
    case 'N':
    case 'F':
      if (c.decimales == 0) return {c.nombre, TipoCampo::entero, 0};
      return {c.nombre, TipoCampo::flotante, 0};
    case 'I':
    case '+':
      return {c.nombre, TipoCampo::entero, 0};
    case 'O':
    case 'Y':
      return {c.nombre, TipoCampo::flotante, 0};
    default:
      return {c.nombre, TipoCampo::caracter, static_cast<int>(c.longitud)};
  }
}

// El .MDX de la tabla: el que ya exista con cualquier grafía; si no, con la extensión en
// minúsculas cuando la del .DBF lo está.
fs::path ruta_indice(const fs::path& dbf) {
  const fs::path existente = archivo_indice(dbf.parent_path(), dbf.stem().string());
  std::error_code ec;
  if (fs::exists(existente, ec) || dbf.extension() != ".dbf") return existente;
  return dbf.parent_path() / (dbf.stem().string() + ".mdx");
}

// Tamaño de lo que se acumula en memoria antes de escribirlo en el archivo.
constexpr std::size_t kVolcado = 1 << 20;

}  // namespace

struct Tabla::Impl {
  fs::path ruta;
  std::string nombre;
  ArchivoBloqueado archivo;
  bool abierta = true;
  Estructura est;
  std::string cabecera;
  std::string registros;          // todos los registros, uno tras otro
  std::size_t en_disco = 0;       // cuántos están ya en el archivo
  bool cambios = false;
  Informe* informe = nullptr;
  std::vector<DefinicionCampo> definiciones;
  std::unordered_map<std::string, std::size_t> por_nombre;
  std::vector<Etiqueta> etiquetas;

  bool fila_pendiente = false;
  std::string fila;

  std::optional<std::size_t> filtro_campo;
  std::string filtro_valor;
  std::optional<std::size_t> indice;  // en etiquetas
  mutable std::vector<std::uint32_t> orden_indice;  // todos los registros en el orden del índice
  mutable bool orden_indice_valido = false;

  mutable std::vector<std::uint32_t> recorrido;
  mutable std::size_t posicion = 0;
  mutable bool recorrido_sucio = false;
  mutable std::size_t registro_tras_grabar = 0;

  explicit Impl(ArchivoBloqueado a) : archivo(std::move(a)) {}

  std::size_t cuantos_registros() const { return registros.size() / est.long_registro; }
  std::string_view registro(std::size_t i) const {
    return std::string_view(registros).substr(i * est.long_registro, est.long_registro);
  }
  std::string_view valor(std::string_view reg, const Campo& c) const { return reg.substr(c.desplazamiento, c.longitud); }

  void comprobar_abierta() const {
    if (!abierta) throw Error(nombre + ": la tabla está cerrada");
  }

  const Campo& campo(std::string_view n) const {
    comprobar_abierta();
    const auto it = por_nombre.find(mayusculas(n));
    if (it == por_nombre.end()) throw Error(nombre + ": No se encuentra el campo '" + cp1252_a_utf8(n) + "'");
    return est.campos[it->second];
  }
  std::size_t indice_campo(std::string_view n) const { return static_cast<std::size_t>(&campo(n) - est.campos.data()); }

  void ordenar_indice() const {
    if (orden_indice_valido) return;
    const Campo& c = est.campos[etiquetas[*indice].campo];
    orden_indice = ordenados(c);
    orden_indice_valido = true;
  }

  // Todos los registros por la clave del campo; iguales por número de registro.
  std::vector<std::uint32_t> ordenados(const Campo& c) const {
    const std::size_t n = cuantos_registros();
    std::vector<std::uint32_t> orden(n);
    for (std::size_t i = 0; i < n; ++i) orden[i] = static_cast<std::uint32_t>(i);
    if (c.tipo == 'C' || !(c.tipo == 'N' || c.tipo == 'F' || es_binario(c, est.variante))) {
      std::stable_sort(orden.begin(), orden.end(),
                       [&](std::uint32_t a, std::uint32_t b) { return valor(registro(a), c) < valor(registro(b), c); });
    } else {
      std::vector<double> claves(n);
      for (std::size_t i = 0; i < n; ++i) {
        const std::string_view b = valor(registro(i), c);
        claves[i] = es_binario(c, est.variante) ? numero_binario(c, est.variante, b).value_or(0)
                                                : leer_doble(recortar(b)).value_or(0);
      }
      std::stable_sort(orden.begin(), orden.end(), [&](std::uint32_t a, std::uint32_t b) { return claves[a] < claves[b]; });
    }
    return orden;
  }

  bool pasa(std::size_t i) const {
    const std::string_view reg = registro(i);
    if (reg[0] == kRegistroBorrado) return false;
    if (filtro_campo) {
      const Campo& c = est.campos[*filtro_campo];
      if (texto_de(c, est.variante, valor(reg, c)) != filtro_valor) return false;
    }
    return true;
  }

  void rehacer_recorrido() const {
    recorrido.clear();
    if (indice) {
      ordenar_indice();
      for (std::uint32_t i : orden_indice)
        if (pasa(i)) recorrido.push_back(i);
    } else {
      const std::size_t n = cuantos_registros();
      for (std::size_t i = 0; i < n; ++i)
        if (pasa(i)) recorrido.push_back(static_cast<std::uint32_t>(i));
    }
  }

  // Tras grabar filas, el recorrido se rehace cuando hace falta y queda en la última grabada.
  void al_dia() const {
    if (!recorrido_sucio) return;
    if (indice) ordenar_indice();
    rehacer_recorrido();
    recorrido_sucio = false;
    const auto it = std::find(recorrido.begin(), recorrido.end(), static_cast<std::uint32_t>(registro_tras_grabar));
    posicion = static_cast<std::size_t>(it - recorrido.begin());
  }

  void empezar() {
    if (indice) {
      orden_indice_valido = false;
      ordenar_indice();
    }
    rehacer_recorrido();
    recorrido_sucio = false;
    posicion = 0;
  }

  // El registro que se lee: la fila nueva mientras se llena, o el actual del recorrido; sin
  // registro actual, uno en blanco.
  std::string_view actual() const {
    if (fila_pendiente) return fila;
    al_dia();
    if (posicion < recorrido.size()) return registro(recorrido[posicion]);
    return {};
  }

  std::string leer_texto(const Campo& c) const {
    const std::string_view reg = actual();
    if (reg.empty()) return {};
    return texto_de(c, est.variante, valor(reg, c));
  }

  std::string_view crudo(const Campo& c) const {
    const std::string_view reg = actual();
    if (reg.empty()) return {};
    return valor(reg, c);
  }

  // Escribe el texto ya formado en el campo de la fila nueva: a la izquierda (caracteres)
  // o a la derecha (números), relleno de blancos.
  void escribir_campo(const Campo& c, std::string_view t, bool derecha) {
    std::string& f = fila;
    f.replace(c.desplazamiento, c.longitud, std::string(c.longitud, ' '));
    const std::size_t pos = derecha ? c.desplazamiento + c.longitud - t.size() : c.desplazamiento;
    f.replace(pos, t.size(), t);
  }

  Campo const& campo_para_poner(std::string_view n) {
    const Campo& c = campo(n);
    if (!fila_pendiente)
      throw Error(nombre + ": no hay una fila nueva en la que poner el campo '" + cp1252_a_utf8(n) + "'");
    return c;
  }

  void poner_caracteres(const Campo& c, std::string_view t) {
    if (t.size() > c.longitud) {
      if (informe != nullptr)
        informe->avisa("Tabla " + cp1252_a_utf8(ruta.stem().string()) + ", campo " + cp1252_a_utf8(c.nombre) +
                       ": el valor \"" + cp1252_a_utf8(t) + "\" no cabe en " + std::to_string(c.longitud) +
                       " caracteres y se ha guardado cortado");
      t = t.substr(0, c.longitud);
    }
    escribir_campo(c, t, false);
  }

  void poner_numero(const Campo& c, const std::string& t) {
    if (t.size() > c.longitud)
      throw Error(nombre + ": el valor " + t + " no cabe en el campo '" + cp1252_a_utf8(c.nombre) + "'");
    escribir_campo(c, t, true);
  }

  std::string formatear(const Campo& c, double v) const {
    if (!std::isfinite(v))
      throw Error(nombre + ": el campo '" + cp1252_a_utf8(c.nombre) + "' no admite un valor que no es un número");
    return fmt::format("{:.{}f}", v, c.decimales);
  }

  [[noreturn]] void no_escribible(const Campo& c) const {
    throw Error(nombre + ": no se puede escribir en el campo '" + cp1252_a_utf8(c.nombre) + "' de tipo " + c.tipo);
  }

  void volcar() {
    const std::size_t n = cuantos_registros();
    if (n == en_disco) return;
    const std::size_t lr = est.long_registro;
    std::string trozo = registros.substr(en_disco * lr);
    trozo += kFinArchivo;
    archivo.escribir(est.long_cabecera + en_disco * lr, trozo);
    poner_fecha_hoy(cabecera, kCabFecha);
    poner_u32(cabecera, kCabRegistros, static_cast<std::uint32_t>(n));
    archivo.escribir(0, std::string_view(cabecera).substr(0, kCabLongCabecera));
    en_disco = n;
  }

  void escribir_indice() {
    std::vector<mdx::EtiquetaEscrita> escritas;
    for (const Etiqueta& e : etiquetas) {
      const Campo& c = est.campos[e.campo];
      mdx::EtiquetaEscrita w;
      w.nombre = e.nombre;
      w.campo = c.nombre;
      const bool caracter = c.tipo == 'C';
      w.tipo_clave = caracter ? 'C' : 'N';
      w.long_clave = caracter ? c.longitud : kLongClaveNumerica;
      for (std::uint32_t i : ordenados(c)) {
        const std::string_view b = valor(registro(i), c);
        w.entradas.push_back({caracter ? std::string(b) : mdx::clave_numerica(texto_de(c, est.variante, b)), i + 1});
      }
      escritas.push_back(std::move(w));
    }
    escribir_mdx(ruta_indice(ruta), ruta.stem().string(), escritas);
  }

  static void escribir_mdx(const fs::path& ruta, std::string_view tabla, const std::vector<mdx::EtiquetaEscrita>& e) {
    const std::string datos = mdx::construir(tabla, e);
    std::error_code ec;
    ArchivoBloqueado a = fs::exists(ruta, ec) ? ArchivoBloqueado::abrir(ruta, Modo::exclusivo)
                                              : ArchivoBloqueado::crear(ruta);
    a.escribir(0, datos);
    a.truncar(datos.size());
  }
};

Tabla::Tabla(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Tabla::Tabla(Tabla&&) noexcept = default;
Tabla& Tabla::operator=(Tabla&& otra) noexcept {
  if (this != &otra) {
    if (impl_) {
      try {
        cerrar();
      } catch (...) {
      }
    }
    impl_ = std::move(otra.impl_);
  }
  return *this;
}

Tabla::~Tabla() {
  if (!impl_) return;
  try {
    cerrar();
  } catch (...) {
    // El destructor no lanza: el archivo y el bloqueo se sueltan de todos modos.
  }
}

void Tabla::crear(const fs::path& dbf, std::span<const DefinicionCampo> campos, std::span<const DefinicionIndice> indices) {
  const std::string tabla = dbf.filename().string();
  auto mal = [&](const std::string& motivo) { throw Error("No se puede crear la tabla " + tabla + ": " + motivo); };
  if (campos.empty()) mal("no tiene campos");
  std::string cab(kTamCabecera + kTamDescriptor * campos.size() + 1, '\0');
  std::size_t long_registro = 1;
  std::vector<std::string> nombres;
  for (std::size_t i = 0; i < campos.size(); ++i) {
    const DefinicionCampo& d = campos[i];
    const std::string nombre = mayusculas(d.nombre);
    if (nombre.empty() || nombre.size() > kLongNombre - 1)
      mal("el nombre de campo '" + cp1252_a_utf8(d.nombre) + "' no tiene de 1 a 10 caracteres");
    if (std::find(nombres.begin(), nombres.end(), nombre) != nombres.end())
      mal("el campo '" + cp1252_a_utf8(nombre) + "' está repetido");
    nombres.push_back(nombre);
    char tipo = 'N';
    int longitud = kAnchoEntero, decimales = 0;
    if (d.tipo == TipoCampo::caracter) {
      tipo = 'C';
      longitud = d.ancho;
      if (longitud < 1 || longitud > kAnchoMaximoCaracter)
        mal("el campo '" + cp1252_a_utf8(nombre) + "' tiene una anchura fuera de 1 a 254");
    } else if (d.tipo == TipoCampo::flotante) {
      longitud = kAnchoFlotante;
      decimales = kDecimalesFlotante;
    }
    const std::size_t p = kTamCabecera + kTamDescriptor * i;
    cab.replace(p + kDesNombre, nombre.size(), nombre);
    cab[p + kDesTipo] = tipo;
    poner_u8(cab, p + kDesLongitud, static_cast<std::uint32_t>(longitud));
    poner_u8(cab, p + kDesDecimales, static_cast<std::uint32_t>(decimales));
    long_registro += static_cast<std::size_t>(longitud);
  }
  std::vector<mdx::EtiquetaEscrita> etiquetas;
  for (const DefinicionIndice& ind : indices) {
    const std::string campo = mayusculas(ind.campo);
    const auto it = std::find(nombres.begin(), nombres.end(), campo);
    if (it == nombres.end()) mal("el índice '" + cp1252_a_utf8(ind.nombre) + "' es de un campo que no tiene");
    if (ind.nombre.empty() || ind.nombre.size() > kLongNombreEtiqueta - 1)
      mal("el nombre de índice '" + cp1252_a_utf8(ind.nombre) + "' no tiene de 1 a 10 caracteres");
    const std::size_t i = static_cast<std::size_t>(it - nombres.begin());
    const bool caracter = campos[i].tipo == TipoCampo::caracter;
    etiquetas.push_back({mayusculas(ind.nombre), campo, caracter ? 'C' : 'N',
                         caracter ? static_cast<std::size_t>(campos[i].ancho) : kLongClaveNumerica, {}});
    poner_u8(cab, kTamCabecera + kTamDescriptor * i + kDesEnIndice, 1);
  }
  if (long_registro > 0xFFFF) mal("sus registros pasan de 65535 bytes");
  poner_u8(cab, kCabVersion, kVersionEscrita);
  poner_fecha_hoy(cab, kCabFecha);
  poner_u32(cab, kCabRegistros, 0);
  poner_u16(cab, kCabLongCabecera, static_cast<std::uint32_t>(cab.size()));
  poner_u16(cab, kCabLongRegistro, static_cast<std::uint32_t>(long_registro));
  poner_u8(cab, kCabIndiceProduccion, etiquetas.empty() ? 0 : 1);
  poner_u8(cab, kCabIdioma, kIdiomaWindows1252);
  cab.back() = kFinDescriptores;
  cab += kFinArchivo;

  ArchivoBloqueado a = ArchivoBloqueado::crear(dbf);
  a.escribir(0, cab);
  if (!etiquetas.empty()) Impl::escribir_mdx(ruta_indice(dbf), dbf.stem().string(), etiquetas);
}

Tabla Tabla::abrir(const fs::path& dbf, Modo modo, std::string componente) {
  auto impl = std::make_unique<Impl>(ArchivoBloqueado::abrir(dbf, modo));
  impl->ruta = dbf;
  impl->nombre = componente.empty() ? dbf.filename().string() : std::move(componente);
  std::string datos = impl->archivo.leer_todo();
  impl->est = analizar(datos, dbf);
  Estructura& e = impl->est;
  impl->cabecera = datos.substr(0, e.long_cabecera);
  impl->registros = datos.substr(e.long_cabecera, e.registros * e.long_registro);
  impl->en_disco = e.registros;
  for (std::size_t i = 0; i < e.campos.size(); ++i) {
    const Campo& c = e.campos[i];
    if (!c.visible) continue;
    impl->definiciones.push_back(definicion_de(c));
    impl->por_nombre.emplace(mayusculas(c.nombre), i);
  }
  if (e.variante != Variante::dbase7 && impl->cabecera[kCabIndiceProduccion] == 1) {
    const fs::path indice = ruta_indice(dbf);
    std::ifstream f(indice, std::ios::binary);
    if (f) {
      std::ostringstream s;
      s << f.rdbuf();
      for (const auto& et : mdx::leer_etiquetas(s.str())) {
        const auto it = impl->por_nombre.find(mayusculas(et.campo));
        if (it != impl->por_nombre.end()) impl->etiquetas.push_back({mayusculas(et.nombre), it->second});
      }
    }
  }
  impl->empezar();
  return Tabla(std::move(impl));
}

void Tabla::cerrar() {
  if (!impl_ || !impl_->abierta) return;
  Impl& t = *impl_;
  t.abierta = false;
  t.fila_pendiente = false;  // una fila sin grabar no se guarda
  try {
    if (t.cambios) {
      t.volcar();
      t.archivo.truncar(t.est.long_cabecera + t.registros.size() + 1);
      if (!t.etiquetas.empty()) t.escribir_indice();
    }
  } catch (...) {
    t.archivo.cerrar();
    throw;
  }
  t.archivo.cerrar();
}

void Tabla::anotar_cortes_en(Informe* informe) { impl_->informe = informe; }

void Tabla::anadir() {
  impl_->comprobar_abierta();
  if (impl_->fila_pendiente) grabar();
  impl_->fila.assign(impl_->est.long_registro, ' ');
  impl_->fila_pendiente = true;
}

void Tabla::poner(std::string_view campo, std::string_view texto) {
  const Campo& c = impl_->campo_para_poner(campo);
  switch (c.tipo) {
    case 'C':
    case 'D':
    case 'L':
      impl_->poner_caracteres(c, texto);
      return;
    case 'N':
    case 'F': {
      const std::string_view t = recortar(texto);
      if (t.empty()) {
        impl_->escribir_campo(c, "", true);
        return;
      }
      if (c.decimales == 0) {
        if (const auto v = leer_entero(t)) {
          impl_->poner_numero(c, std::to_string(*v));
          return;
        }
      }
      const auto v = leer_doble(t);
      if (!v)
        throw Error(impl_->nombre + ": '" + cp1252_a_utf8(t) + "' no es un valor numérico válido para el campo '" +
                    cp1252_a_utf8(c.nombre) + "'");
      impl_->poner_numero(c, impl_->formatear(c, *v));
      return;
    }
    default:
      impl_->no_escribible(c);
  }
}

void Tabla::poner(std::string_view campo, std::int32_t valor) {
  const Campo& c = impl_->campo_para_poner(campo);
  switch (c.tipo) {
    case 'C':
      impl_->poner_caracteres(c, std::to_string(valor));
      return;
    case 'N':
    case 'F':
      impl_->poner_numero(c, c.decimales == 0 ? std::to_string(valor) : impl_->formatear(c, valor));
      return;
    default:
      impl_->no_escribible(c);
  }
}

void Tabla::poner_flotante(std::string_view campo, double valor) {
  const Campo& c = impl_->campo_para_poner(campo);
  switch (c.tipo) {
    case 'C':
      impl_->formatear(c, valor);  // Error si no es un número
      impl_->poner_caracteres(c, texto_de_doble(valor));
      return;
    case 'N':
    case 'F':
      impl_->poner_numero(c, impl_->formatear(c, valor));
      return;
    default:
      impl_->no_escribible(c);
  }
}

void Tabla::grabar() {
  Impl& t = *impl_;
  t.comprobar_abierta();
  if (!t.fila_pendiente) throw Error(t.nombre + ": no hay una fila nueva que grabar");
  t.fila[0] = kRegistroVivo;
  t.registros += t.fila;
  t.fila_pendiente = false;
  t.cambios = true;
  t.orden_indice_valido = false;
  t.recorrido_sucio = true;
  t.registro_tras_grabar = t.cuantos_registros() - 1;
  if ((t.cuantos_registros() - t.en_disco) * t.est.long_registro >= kVolcado) t.volcar();
}

void Tabla::primero() {
  impl_->comprobar_abierta();
  impl_->al_dia();
  impl_->posicion = 0;
}

void Tabla::siguiente() {
  impl_->comprobar_abierta();
  impl_->al_dia();
  if (impl_->posicion < impl_->recorrido.size()) ++impl_->posicion;
}

bool Tabla::fin() const {
  impl_->comprobar_abierta();
  impl_->al_dia();
  return impl_->posicion >= impl_->recorrido.size();
}

std::size_t Tabla::cuantos() const {
  impl_->comprobar_abierta();
  impl_->al_dia();
  return impl_->recorrido.size();
}

std::string Tabla::texto(std::string_view campo) const { return impl_->leer_texto(impl_->campo(campo)); }

std::int32_t Tabla::entero(std::string_view campo) const {
  const Campo& c = impl_->campo(campo);
  const Variante v = impl_->est.variante;
  const std::string_view b = impl_->crudo(c);
  if (es_binario(c, v)) {
    const auto x = b.empty() ? std::optional<double>{} : numero_binario(c, v, b);
    if (!x) return 0;
    if (*x == std::trunc(*x) && *x >= std::numeric_limits<std::int32_t>::min() &&
        *x <= std::numeric_limits<std::int32_t>::max())
      return static_cast<std::int32_t>(*x);
    return entero_o_error(texto_de(c, v, b));
  }
  const std::string t = impl_->leer_texto(c);
  const std::string_view r = recortar(t);
  if (c.tipo == 'N' || c.tipo == 'F') {
    if (r.empty()) return 0;
    if (const auto e = leer_entero(r)) return *e;
    if (const auto x = leer_doble(r); x && *x == std::trunc(*x) && *x >= std::numeric_limits<std::int32_t>::min() &&
                                      *x <= std::numeric_limits<std::int32_t>::max())
      return static_cast<std::int32_t>(*x);
  }
  return entero_o_error(r);
}

double Tabla::flotante(std::string_view campo) const {
  const Campo& c = impl_->campo(campo);
  const Variante v = impl_->est.variante;
  const std::string_view b = impl_->crudo(c);
  if (es_binario(c, v)) return b.empty() ? 0.0 : numero_binario(c, v, b).value_or(0.0);
  const std::string t = impl_->leer_texto(c);
  const std::string_view r = recortar(t);
  if ((c.tipo == 'N' || c.tipo == 'F') && r.empty()) return 0.0;
  if (const auto x = leer_doble(r)) return *x;
  throw Error("'" + cp1252_a_utf8(r) + "' no es un valor de coma flotante válido");
}

bool Tabla::tiene_campo(std::string_view campo) const {
  impl_->comprobar_abierta();
  return impl_->por_nombre.contains(mayusculas(campo));
}

void Tabla::filtrar(std::string_view campo, std::string_view valor) {
  impl_->filtro_campo = impl_->indice_campo(campo);
  impl_->filtro_valor = std::string(valor);
  impl_->rehacer_recorrido();
  impl_->recorrido_sucio = false;
  impl_->posicion = 0;
}

void Tabla::quitar_filtro() {
  impl_->comprobar_abierta();
  impl_->filtro_campo.reset();
  impl_->rehacer_recorrido();
  impl_->recorrido_sucio = false;
  impl_->posicion = 0;
}

void Tabla::ordenar_por(std::string_view indice) {
  Impl& t = *impl_;
  t.comprobar_abierta();
  if (indice.empty()) {
    t.indice.reset();
  } else {
    const std::string buscado = mayusculas(indice);
    const auto it = std::find_if(t.etiquetas.begin(), t.etiquetas.end(),
                                 [&](const Etiqueta& e) { return e.nombre == buscado; });
    if (it == t.etiquetas.end()) throw Error(t.nombre + ": No se encuentra el índice '" + cp1252_a_utf8(indice) + "'");
    t.indice = static_cast<std::size_t>(it - t.etiquetas.begin());
  }
  t.empezar();
}

const std::vector<DefinicionCampo>& Tabla::campos() const { return impl_->definiciones; }
const std::string& Tabla::nombre() const { return impl_->nombre; }
const fs::path& Tabla::ruta() const { return impl_->ruta; }

}  // namespace tts
