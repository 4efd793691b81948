#include "tables/tabla.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "comun/error.h"
#include "comun/informe.h"
#include "tests/apoyo/apoyo.h"

namespace tts {
namespace {

using prueba::CarpetaTemporal;
using prueba::mensaje_de;
using prueba::leer_archivo;

const std::vector<DefinicionCampo> kCampos = {DefinicionCampo::caracter("NOMBRE", 5), DefinicionCampo::entero("NUM"),
                                              DefinicionCampo::flotante("PESO")};

TEST(Tabla, CadaClaseDeCampoSeEscribeYSeLeeIgual) {
  struct Caso {
    const char* regla;
    std::string nombre;   // lo que se pone
    std::string leido;    // lo que se lee
    std::string bytes;    // los 5 bytes guardados
  };
  const Caso casos[] = {
      {"más corto que el campo: relleno de blancos", "abc", "abc", "abc  "},
      {"justo la anchura", "abcde", "abcde", "abcde"},
      {"más largo: cortado a la anchura", "abcdefgh", "abcde", "abcde"},
      {"blancos finales: no se leen", "ab  ", "ab", "ab   "},
      {"blancos iniciales: se conservan", "  ab", "  ab", "  ab "},
      {"vacío", "", "", "     "},
      {"bytes de Windows-1252", "\xD1\xE1\x80\xBA", "\xD1\xE1\x80\xBA", "\xD1\xE1\x80\xBA "},
  };
  const std::int32_t enteros[] = {0, -1, 42, 2147483647, -2147483647 - 1, 7, 100};
  const double flotantes[] = {0.5, -3.25, 1234567.125, 0, -0.0625, 1e10, 480};

  CarpetaTemporal tmp;
  const auto ruta = tmp / "T.DBF";
  Tabla::crear(ruta, kCampos);
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    std::size_t i = 0;
    for (const auto& c : casos) {
      t.anadir();
      t.poner("NOMBRE", c.nombre);
      t.poner("NUM", enteros[i]);
      t.poner_flotante("PESO", flotantes[i]);
      t.grabar();
      ++i;
    }
    t.anadir();  // una fila sin ningún campo puesto
    t.grabar();
    t.cerrar();
  }
  const std::string archivo = leer_archivo(ruta);
  const std::size_t cabecera = 32 + 3 * 32 + 1, registro = 1 + 5 + 11 + 20;
  ASSERT_EQ(archivo.size(), cabecera + (std::size(casos) + 1) * registro + 1);

  Tabla t = Tabla::abrir(ruta, Modo::exclusivo);
  EXPECT_EQ(t.cuantos(), std::size(casos) + 1);
  std::size_t i = 0;
  for (const auto& c : casos) {
    ASSERT_FALSE(t.fin()) << c.regla;
    EXPECT_EQ(t.texto("NOMBRE"), c.leido) << c.regla;
    EXPECT_EQ(t.entero("NUM"), enteros[i]) << c.regla;
    EXPECT_EQ(t.flotante("PESO"), flotantes[i]) << c.regla;
    const std::string_view reg = std::string_view(archivo).substr(cabecera + i * registro, registro);
    EXPECT_EQ(reg.substr(0, 1), " ") << c.regla;
    EXPECT_EQ(reg.substr(1, 5), c.bytes) << c.regla;
    t.siguiente();
    ++i;
  }
  // Números a la derecha, con cuatro decimales en el flotante.
  const std::string_view tercero = std::string_view(archivo).substr(cabecera + 2 * registro, registro);
  EXPECT_EQ(tercero.substr(6), std::string("         42") + "        1234567.1250");
  const std::string_view cuarto = std::string_view(archivo).substr(cabecera + 4 * registro, registro);
  EXPECT_EQ(cuarto.substr(6, 11), "-2147483648");
  // La fila sin campos: todo blancos, y se lee vacía.
  const std::string_view ultima = std::string_view(archivo).substr(cabecera + std::size(casos) * registro, registro);
  EXPECT_EQ(ultima, std::string(registro, ' '));
  EXPECT_EQ(t.texto("NOMBRE"), "");
  EXPECT_EQ(t.texto("NUM"), "");
  EXPECT_EQ(t.entero("NUM"), 0);
  EXPECT_EQ(t.flotante("PESO"), 0.0);
  t.siguiente();
  EXPECT_TRUE(t.fin());
}

TEST(Tabla, CabeceraEscritaByteAByte) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "DIASHORAST2.DBF";
  const std::vector<DefinicionCampo> campos = {DefinicionCampo::caracter("DIHO", 10), DefinicionCampo::entero("ORDEN"),
                                               DefinicionCampo::flotante("X")};
  const std::vector<DefinicionIndice> indices = {{"ORDEN", "ORDEN"}};
  Tabla::crear(ruta, campos, indices);
  {
    const std::string vacia = leer_archivo(ruta);
    ASSERT_EQ(vacia.size(), 32u + 3 * 32 + 1 + 1);
    EXPECT_EQ(vacia[4], 0);
    EXPECT_EQ(static_cast<unsigned char>(vacia.back()), 0x1A);
  }
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    for (int v : {5, 3}) {
      t.anadir();
      t.poner("ORDEN", v);
      t.grabar();
    }
  }  // el destructor cierra y escribe
  const std::string b = leer_archivo(ruta);
  auto u8 = [&](std::size_t p) { return static_cast<unsigned>(static_cast<unsigned char>(b[p])); };
  auto u16 = [&](std::size_t p) { return u8(p) | u8(p + 1) << 8; };
  auto u32 = [&](std::size_t p) { return u16(p) | u16(p + 2) << 16; };
  EXPECT_EQ(u8(0), 0x03u);
  EXPECT_GE(u8(1), 120u);  // año - 1900
  EXPECT_GE(u8(2), 1u);
  EXPECT_LE(u8(2), 12u);
  EXPECT_GE(u8(3), 1u);
  EXPECT_LE(u8(3), 31u);
  EXPECT_EQ(u32(4), 2u);
  EXPECT_EQ(u16(8), 32u + 3 * 32 + 1);
  EXPECT_EQ(u16(10), 1u + 10 + 11 + 20);
  for (std::size_t p = 12; p < 28; ++p) EXPECT_EQ(u8(p), 0u) << p;
  EXPECT_EQ(u8(28), 1u);  // índice de producción
  EXPECT_EQ(u8(29), 0x57u);
  EXPECT_EQ(u8(30), 0u);
  EXPECT_EQ(u8(31), 0u);
  struct Descriptor {
    std::string nombre;
    char tipo;
    unsigned longitud, decimales, en_indice;
  };
  const Descriptor esperados[] = {{"DIHO", 'C', 10, 0, 0}, {"ORDEN", 'N', 11, 0, 1}, {"X", 'N', 20, 4, 0}};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::size_t d = 32 + 32 * i;
    const auto& e = esperados[i];
    EXPECT_EQ(b.substr(d, 11), e.nombre + std::string(11 - e.nombre.size(), '\0')) << e.nombre;
    EXPECT_EQ(b[d + 11], e.tipo) << e.nombre;
    for (std::size_t p = 12; p < 16; ++p) EXPECT_EQ(u8(d + p), 0u) << e.nombre;
    EXPECT_EQ(u8(d + 16), e.longitud) << e.nombre;
    EXPECT_EQ(u8(d + 17), e.decimales) << e.nombre;
    for (std::size_t p = 18; p < 31; ++p) EXPECT_EQ(u8(d + p), 0u) << e.nombre;
    EXPECT_EQ(u8(d + 31), e.en_indice) << e.nombre;
  }
  EXPECT_EQ(u8(128), 0x0Du);
  const std::size_t r = 129;
  EXPECT_EQ(b.substr(r, 42), std::string(11, ' ') + "          5" + std::string(20, ' '));
  EXPECT_EQ(b.substr(r + 42, 42), std::string(11, ' ') + "          3" + std::string(20, ' '));
  EXPECT_EQ(b.size(), r + 84 + 1);
  EXPECT_EQ(u8(r + 84), 0x1Au);
}

TEST(Tabla, ValorCortadoSeAnotaEnElInforme) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "ASIGNOMT.DBF";
  Tabla::crear(ruta, kCampos);
  Informe informe;
  Tabla t = Tabla::abrir(ruta, Modo::compartido);
  t.anotar_cortes_en(&informe);
  t.anadir();
  t.poner("NOMBRE", "abcde");  // cabe: sin nota
  t.poner("NOMBRE", "Matem\xE1ticas");
  t.grabar();
  ASSERT_EQ(informe.notas().size(), 1u);
  const std::string& nota = informe.notas()[0].texto;
  EXPECT_NE(nota.find("ASIGNOMT"), std::string::npos) << nota;
  EXPECT_NE(nota.find("NOMBRE"), std::string::npos) << nota;
  EXPECT_NE(nota.find("Matemáticas"), std::string::npos) << nota;  // el valor entero, en UTF-8
  t.primero();
  EXPECT_EQ(t.texto("NOMBRE"), "Matem");
}

TEST(Tabla, MensajesDeCampoQueFaltaYDeEnteroNoValido) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "SOLUC.DBF";
  Tabla::crear(ruta, std::vector<DefinicionCampo>{DefinicionCampo::caracter("DIA", 4), DefinicionCampo::entero("HORA"),
                                                  DefinicionCampo::caracter("AULA", 4)});
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    for (const char* dia : {"12", "x", " 7", "", "1.5"}) {
      t.anadir();
      t.poner("DIA", dia);
      t.grabar();
    }
  }
  Tabla sin_nombre = Tabla::abrir(ruta, Modo::compartido);
  EXPECT_EQ(mensaje_de([&] { (void)sin_nombre.texto("PROF"); }), "SOLUC.DBF: No se encuentra el campo 'PROF'");
  sin_nombre.cerrar();

  Tabla t = Tabla::abrir(ruta, Modo::exclusivo, "wwTableSoluc");
  EXPECT_EQ(t.nombre(), "wwTableSoluc");
  const std::string falta = "wwTableSoluc: No se encuentra el campo 'PROF'";
  EXPECT_EQ(mensaje_de([&] { (void)t.texto("PROF"); }), falta);
  EXPECT_EQ(mensaje_de([&] { (void)t.entero("PROF"); }), falta);
  EXPECT_EQ(mensaje_de([&] { (void)t.flotante("PROF"); }), falta);
  EXPECT_EQ(mensaje_de([&] { t.filtrar("PROF", "A"); }), falta);
  EXPECT_TRUE(t.tiene_campo("DIA"));
  EXPECT_TRUE(t.tiene_campo("dia"));
  EXPECT_FALSE(t.tiene_campo("PROF"));

  struct Caso {
    const char* regla;
    std::string error;  // vacío: se lee el valor
    std::int32_t valor;
  };
  const Caso casos[] = {
      {"texto con un entero", "", 12},
      {"texto que no es un número", "'x' no es un valor entero válido", 0},
      {"blancos delante", "", 7},
      {"texto vacío", "'' no es un valor entero válido", 0},
      {"decimal en un campo de texto", "'1.5' no es un valor entero válido", 0},
  };
  t.quitar_filtro();
  for (const auto& c : casos) {
    ASSERT_FALSE(t.fin());
    if (c.error.empty()) {
      EXPECT_EQ(t.entero("DIA"), c.valor) << c.regla;
    } else {
      EXPECT_EQ(mensaje_de([&] { (void)t.entero("DIA"); }), c.error) << c.regla;
    }
    EXPECT_EQ(t.entero("HORA"), 0) << "un N vacío se lee 0";
    t.siguiente();
  }
  EXPECT_EQ(mensaje_de([&] {
              t.anadir();
              t.poner("PROF", "A");
            }),
            falta);
}

TEST(Tabla, FiltroDeIgualdadExacto) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "SOLUC.DBF";
  Tabla::crear(ruta, std::vector<DefinicionCampo>{DefinicionCampo::caracter("PROF", 8), DefinicionCampo::entero("N")});
  const char* profs[] = {"A", "a", "O'NEIL", "A  ", "AB", "O'NEIL", " A"};
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    int n = 1;
    for (const char* p : profs) {
      t.anadir();
      t.poner("PROF", p);
      t.poner("N", n++);
      t.grabar();
    }
  }
  struct Caso {
    const char* valor;
    std::vector<int> filas;
  };
  const Caso casos[] = {
      {"A", {1, 4}},            // el blanco final de relleno no cuenta
      {"a", {2}},               // distingue mayúsculas
      {"O'NEIL", {3, 6}},       // la comilla es parte del valor
      {"'O''NEIL'", {}},        // no es una expresión
      {" A", {7}},
      {"", {}},
      {"A' OR '1'='1", {}},
  };
  Tabla t = Tabla::abrir(ruta, Modo::exclusivo, "wwTableSoluc");
  for (const auto& c : casos) {
    t.quitar_filtro();
    EXPECT_EQ(t.cuantos(), std::size(profs));
    t.filtrar("PROF", c.valor);
    EXPECT_EQ(t.cuantos(), c.filas.size()) << c.valor;
    std::vector<int> vistas;
    for (; !t.fin(); t.siguiente()) vistas.push_back(t.entero("N"));
    EXPECT_EQ(vistas, c.filas) << c.valor;
    t.primero();
    if (!c.filas.empty()) {
      EXPECT_EQ(t.entero("N"), c.filas.front()) << c.valor;
    }
  }
}

TEST(Tabla, CienMilFilasIdaYVuelta) {
  CarpetaTemporal tmp;
  const auto ruta = tmp / "GRANDE.DBF";
  Tabla::crear(ruta, std::vector<DefinicionCampo>{DefinicionCampo::caracter("COD", 10), DefinicionCampo::entero("N")},
               std::vector<DefinicionIndice>{{"N", "N"}});
  constexpr int kFilas = 100000;
  {
    Tabla t = Tabla::abrir(ruta, Modo::compartido);
    for (int i = 0; i < kFilas; ++i) {
      t.anadir();
      t.poner("COD", "C" + std::to_string(i));
      t.poner("N", (i * 7919) % kFilas);
      t.grabar();
    }
    // Las filas grabadas se ven antes de cerrar.
    EXPECT_EQ(t.cuantos(), static_cast<std::size_t>(kFilas));
  }
  EXPECT_EQ(leer_archivo(ruta).size(), 32u + 2 * 32 + 1 + kFilas * 22u + 1);
  Tabla t = Tabla::abrir(ruta, Modo::compartido);
  int i = 0;
  for (t.primero(); !t.fin(); t.siguiente(), ++i) {
    if (i % 9973 == 0) {
      ASSERT_EQ(t.texto("COD"), "C" + std::to_string(i));
      ASSERT_EQ(t.entero("N"), (i * 7919) % kFilas);
    }
  }
  EXPECT_EQ(i, kFilas);
  t.ordenar_por("N");
  int esperado = 0;
  for (; !t.fin(); t.siguiente()) ASSERT_EQ(t.entero("N"), esperado++);
  EXPECT_EQ(esperado, kFilas);
}

TEST(Tabla, DefinicionesQueNoSePuedenCrear) {
  CarpetaTemporal tmp;
  struct Caso {
    const char* regla;
    std::vector<DefinicionCampo> campos;
    std::vector<DefinicionIndice> indices;
  };
  const std::vector<Caso> casos = {
      {"sin campos", {}, {}},
      {"nombre de 11 caracteres", {DefinicionCampo::entero("ABCDEFGHIJK")}, {}},
      {"anchura 0", {DefinicionCampo::caracter("A", 0)}, {}},
      {"anchura 255", {DefinicionCampo::caracter("A", 255)}, {}},
      {"campo repetido", {DefinicionCampo::entero("A"), DefinicionCampo::caracter("A", 2)}, {}},
      {"índice de un campo que no está", {DefinicionCampo::entero("A")}, {{"B", "B"}}},
  };
  for (const auto& c : casos) {
    const auto ruta = tmp / "MAL.DBF";
    const std::string m = mensaje_de([&] { Tabla::crear(ruta, c.campos, c.indices); });
    EXPECT_EQ(m.rfind("No se puede crear la tabla MAL.DBF: ", 0), 0u) << c.regla << ": " << m;
    std::error_code ec;
    std::filesystem::remove(ruta, ec);
  }
  const auto ruta = tmp / "YA.DBF";
  Tabla::crear(ruta, kCampos);
  EXPECT_NE(mensaje_de([&] { Tabla::crear(ruta, kCampos); }).find("ya existe"), std::string::npos);
  EXPECT_EQ(mensaje_de([&] { (void)Tabla::abrir(tmp / "NO.DBF", Modo::compartido); }),
            "No existe la tabla " + (tmp / "NO.DBF").string());
}

}  // namespace
}  // namespace tts
