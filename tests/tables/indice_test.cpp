// El índice de producción: el orden que da ordenar_por, el .MDX que se escribe recorrido
// por index_dump (libdbd-xbase-perl) y por un recorrido propio escrito aquí desde el formato.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "comun/error.h"
#include "tables/mdx.h"
#include "tables/tabla.h"
#include "tests/apoyo/apoyo.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;

std::uint32_t u16(const std::string& b, std::size_t p) {
  return static_cast<unsigned char>(b.at(p)) | static_cast<unsigned char>(b.at(p + 1)) << 8;
}
std::uint32_t u32(const std::string& b, std::size_t p) { return u16(b, p) | u16(b, p + 2) << 16; }

// Decodifica una clave numérica de 12 bytes (decimal empaquetado) como número entero.
long long valor_de_clave(const std::string& k) {
  const int antes = static_cast<unsigned char>(k[0]) - 0x34;
  const int cifras = (static_cast<unsigned char>(k[1]) >> 2) & 0x1F;
  long long v = 0;
  for (int i = 0; i < cifras; ++i) {
    const auto b = static_cast<unsigned char>(k[2 + i / 2]);
    v = v * 10 + (i % 2 == 0 ? b >> 4 : b & 0x0F);
  }
  for (int i = cifras; i < antes; ++i) v *= 10;
  return (static_cast<unsigned char>(k[1]) & 0x80) != 0 ? -v : v;
}

struct Recorrido {
  std::vector<std::uint32_t> registros;
  std::vector<std::string> claves;
};

// Recorre en orden el árbol de la etiqueta, como lo describe el formato dBase IV: tabla de
// etiquetas en 512 + 32 × i, cabecera de la etiqueta, nodos con {puntero, clave}; un nodo
// interior tiene un hijo más tras la última clave.
Recorrido recorrer_etiqueta(const std::string& mdx, const std::string& etiqueta) {
  EXPECT_EQ(mdx.size() % 512, 0u);
  EXPECT_EQ(static_cast<unsigned char>(mdx[0]), 2);
  EXPECT_EQ(u16(mdx, 20), 2u);
  EXPECT_EQ(u16(mdx, 22), 1024u);
  EXPECT_EQ(mdx[24], 1);
  EXPECT_EQ(static_cast<unsigned char>(mdx[25]), 48);
  EXPECT_EQ(static_cast<unsigned char>(mdx[26]), 32);
  EXPECT_EQ(u32(mdx, 32), mdx.size() / 512);
  EXPECT_EQ(mdx[529], 1);
  const std::uint32_t usadas = u16(mdx, 28);
  for (std::uint32_t i = 1; i <= usadas; ++i) {
    const std::size_t r = 512 + 32 * i;
    const std::string nombre = mdx.substr(r + 4, 11).c_str();
    if (nombre != etiqueta) continue;
    EXPECT_EQ(mdx[r + 15], 0x10);
    EXPECT_EQ(mdx[r + 19], 0x02);
    const std::size_t cab = u32(mdx, r) * 512;
    const std::size_t long_clave = u16(mdx, cab + 12), long_elemento = u16(mdx, cab + 18);
    EXPECT_EQ(mdx[cab + 8], 0x10);
    EXPECT_EQ(mdx[cab + 9], mdx[r + 20]);
    EXPECT_EQ(long_elemento % 4, 0u);
    EXPECT_GE(long_elemento, long_clave + 4);
    EXPECT_EQ(u16(mdx, cab + 14), (1024 - 12) / long_elemento);
    Recorrido rec;
    std::vector<std::uint32_t> hojas;
    // Pila explícita: (página, siguiente elemento).
    std::vector<std::pair<std::uint32_t, std::uint32_t>> pila{{u32(mdx, cab), 0}};
    while (!pila.empty()) {
      auto& [pagina, k] = pila.back();
      const std::size_t nodo = static_cast<std::size_t>(pagina) * 512;
      const std::uint32_t n = u32(mdx, nodo);
      const std::size_t tras = nodo + 8 + n * long_elemento;
      const bool interior = u32(mdx, tras) != 0;
      if (!interior) {
        hojas.push_back(pagina);
        for (std::uint32_t j = 0; j < n; ++j) {
          rec.registros.push_back(u32(mdx, nodo + 8 + j * long_elemento));
          rec.claves.push_back(mdx.substr(nodo + 8 + j * long_elemento + 4, long_clave));
        }
        pila.pop_back();
      } else if (k <= n) {
        const std::uint32_t hijo = u32(mdx, nodo + 8 + k * long_elemento);
        ++k;
        pila.push_back({hijo, 0});
      } else {
        pila.pop_back();
      }
    }
    EXPECT_EQ(u32(mdx, cab + 248), hojas.front());
    EXPECT_EQ(u32(mdx, cab + 252), hojas.back());
    return rec;
  }
  ADD_FAILURE() << "no está la etiqueta " << etiqueta;
  return {};
}

// Los números de registro que index_dump saca al recorrer la etiqueta (el último campo de
// cada línea: la clave es binaria y puede llevar blancos).
std::vector<std::uint32_t> index_dump(const fs::path& mdx, const std::string& etiqueta) {
  const auto s = prueba::ejecutar("index_dump --tag " + etiqueta + " " + prueba::comillas(mdx.string()));
  EXPECT_EQ(s.codigo, 0) << s.errores;
  std::vector<std::uint32_t> r;
  std::istringstream lineas(s.texto);
  for (std::string l; std::getline(lineas, l);) r.push_back(static_cast<std::uint32_t>(std::stoul(l.substr(l.rfind(' ') + 1))));
  return r;
}

const std::vector<DefinicionCampo> kCampos = {DefinicionCampo::caracter("DIHO", 10), DefinicionCampo::entero("ORDEN")};
const std::vector<DefinicionIndice> kIndice = {{"ORDEN", "ORDEN"}};

// Escribe la tabla con esos valores de ORDEN (y DIHO = su número de registro). Devuelve el
// orden del índice visto desde la misma tabla antes de cerrarla, como lo lee quien acaba de
// escribir las filas.
std::vector<std::uint32_t> escribir(const fs::path& ruta, const std::vector<int>& ordenes) {
  Tabla::crear(ruta, kCampos, kIndice);
  Tabla t = Tabla::abrir(ruta, Modo::compartido);
  int n = 1;
  for (int v : ordenes) {
    t.anadir();
    t.poner("DIHO", std::to_string(n++));
    t.poner("ORDEN", v);
    t.grabar();
  }
  t.ordenar_por("ORDEN");
  std::vector<std::uint32_t> visto;
  for (t.primero(); !t.fin(); t.siguiente()) visto.push_back(static_cast<std::uint32_t>(t.entero("DIHO")));
  t.cerrar();
  return visto;
}

// Los números de registro (desde 1) en orden de clave; iguales por número de registro.
std::vector<std::uint32_t> orden_esperado(const std::vector<int>& v) {
  std::vector<std::uint32_t> r(v.size());
  std::iota(r.begin(), r.end(), 1u);
  std::stable_sort(r.begin(), r.end(), [&](std::uint32_t a, std::uint32_t b) { return v[a - 1] < v[b - 1]; });
  return r;
}

TEST(Indice, ClavesNumericasEmpaquetadas) {
  struct Caso {
    const char* texto;
    std::string bytes;  // los significativos; el resto hasta 12 son ceros
  };
  const Caso casos[] = {
      {"0", "\x34\x01"},       {"", "\x34\x01"},         {"42", "\x36\x09\x42"},
      {"-7", "\x35\x85\x70"},  {"100", "\x37\x05\x10"},  {"480", "\x37\x09\x48"},
      {"-2147483648", "\x3E\xA9\x21\x47\x48\x36\x48"},   {"12.5000", "\x36\x0D\x12\x50"},
  };
  for (const auto& c : casos) {
    std::string esperada = c.bytes;
    esperada.resize(12, '\0');
    EXPECT_EQ(mdx::clave_numerica(c.texto), esperada) << c.texto;
  }
}

TEST(Indice, OrdenPorOrdenConEmpatesYNegativos) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "DIASHORAST2.DBF";
  const std::vector<int> ordenes = {600, 480, 540, 480, -5, 0, 600, 100, -300, 480};
  const auto antes_de_cerrar = escribir(ruta, ordenes);
  const auto esperado = orden_esperado(ordenes);
  ASSERT_EQ(esperado, (std::vector<std::uint32_t>{9, 5, 6, 8, 2, 4, 10, 3, 1, 7}));
  EXPECT_EQ(antes_de_cerrar, esperado);

  Tabla t = Tabla::abrir(ruta, Modo::exclusivo);  // las etiquetas se leen del .MDX
  t.ordenar_por("ORDEN");
  std::vector<std::uint32_t> visto;
  for (; !t.fin(); t.siguiente()) visto.push_back(static_cast<std::uint32_t>(std::stoul(t.texto("DIHO"))));
  EXPECT_EQ(visto, esperado);
  // Con filtro, el orden se mantiene.
  t.filtrar("ORDEN", "480");
  visto.clear();
  for (; !t.fin(); t.siguiente()) visto.push_back(static_cast<std::uint32_t>(t.entero("DIHO")));
  EXPECT_EQ(visto, (std::vector<std::uint32_t>{2, 4, 10}));
  t.quitar_filtro();
  t.ordenar_por("");
  EXPECT_EQ(t.texto("DIHO"), "1");
  try {
    t.ordenar_por("NOEXISTE");
    ADD_FAILURE();
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "DIASHORAST2.DBF: No se encuentra el índice 'NOEXISTE'");
  }
}

TEST(Indice, ElMdxLoRecorrenIndexDumpYUnRecorridoPropio) {
  struct Caso {
    const char* regla;
    std::vector<int> ordenes;
  };
  std::vector<int> muchos;
  for (int i = 0; i < 5000; ++i) muchos.push_back((i * 37) % 1440 - 200);  // con empates; tres niveles
  const std::vector<Caso> casos = {
      {"tabla vacía: árbol vacío", {}},
      {"una hoja con empates y negativos", {600, 480, 540, 480, -5, 0, 600}},
      {"varios niveles", muchos},
  };
  for (const auto& c : casos) {
    CarpetaTemporal tmp;
    const auto ruta = tmp / "DIASHORAST2.DBF";
    (void)escribir(ruta, c.ordenes);
    const auto mdx_ruta = tmp / "DIASHORAST2.MDX";
    ASSERT_TRUE(fs::exists(mdx_ruta)) << c.regla;
    const auto esperado = orden_esperado(c.ordenes);

    EXPECT_EQ(index_dump(mdx_ruta, "ORDEN"), esperado) << c.regla;

    const std::string mdx = prueba::leer_archivo(mdx_ruta);
    EXPECT_EQ(mdx.substr(4, 16), std::string("DIASHORAST2") + std::string(5, '\0')) << c.regla;
    const Recorrido r = recorrer_etiqueta(mdx, "ORDEN");
    EXPECT_EQ(r.registros, esperado) << c.regla;
    ASSERT_EQ(r.claves.size(), c.ordenes.size()) << c.regla;
    for (std::size_t i = 0; i < r.claves.size(); ++i)
      ASSERT_EQ(valor_de_clave(r.claves[i]), c.ordenes[esperado[i] - 1]) << c.regla << " clave " << i;
  }
}

TEST(Indice, AnadirAUnaTablaExistenteRehaceElIndiceConTodas) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "DIASHORAST2.DBF";
  (void)escribir(ruta, {300, 100});
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    t.anadir();
    t.poner("DIHO", "3");
    t.poner("ORDEN", 200);
    t.grabar();
  }
  EXPECT_EQ(index_dump(tmp / "DIASHORAST2.MDX", "ORDEN"), (std::vector<std::uint32_t>{2, 3, 1}));
  Tabla t = Tabla::abrir(ruta, Modo::compartido);
  EXPECT_EQ(t.cuantos(), 3u);
  t.ordenar_por("orden");  // el nombre de la etiqueta, sin distinguir mayúsculas
  EXPECT_EQ(t.texto("DIHO"), "2");
}

TEST(Indice, EtiquetaSobreCampoDeCaracteres) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "AULAT.DBF";
  Tabla::crear(ruta, std::vector<DefinicionCampo>{DefinicionCampo::caracter("COD", 4), DefinicionCampo::entero("N")},
               std::vector<DefinicionIndice>{{"COD", "COD"}, {"N", "N"}});
  const std::vector<std::string> codigos = {"B", "a", "AB", "A", "B", "\xC1"};
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    int n = 10;
    for (const auto& c : codigos) {
      t.anadir();
      t.poner("COD", c);
      t.poner("N", n--);
      t.grabar();
    }
  }
  // Bytes sin signo, relleno de blancos: "A" < "AB" < "B" < "a" < "Á".
  const std::vector<std::uint32_t> esperado = {4, 3, 1, 5, 2, 6};
  Tabla t = Tabla::abrir(ruta, Modo::compartido);
  t.ordenar_por("COD");
  std::vector<std::uint32_t> visto;
  for (; !t.fin(); t.siguiente()) visto.push_back(static_cast<std::uint32_t>(11 - t.entero("N")));
  EXPECT_EQ(visto, esperado);
  const std::string mdx = prueba::leer_archivo(tmp / "AULAT.MDX");
  EXPECT_EQ(recorrer_etiqueta(mdx, "COD").registros, esperado);
  EXPECT_EQ(index_dump(tmp / "AULAT.MDX", "COD"), esperado);
  EXPECT_EQ(recorrer_etiqueta(mdx, "N").registros, (std::vector<std::uint32_t>{6, 5, 4, 3, 2, 1}));
}

}  // namespace
}  // namespace tts
