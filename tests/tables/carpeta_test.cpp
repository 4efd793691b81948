// La carpeta de trabajo: rutas de Windows bajo Wine, la tabla nueva, la preparación de la
// exportación con su confirmación, y los componentes persistentes.
#include "tables/carpeta.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "comun/error.h"
#include "tables/componentes.h"
#include "tests/apoyo/apoyo.h"
#include "tests/tables/bloqueador.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::Bloqueador;
using prueba::CarpetaTemporal;
using prueba::mensaje_de;
using prueba::escribir_archivo;
using prueba::leer_archivo;

// Fija una variable de entorno mientras vive y la devuelve como estaba.
class Entorno {
 public:
  Entorno(const char* nombre, const char* valor) : nombre_(nombre) {
    if (const char* v = std::getenv(nombre)) antes_ = v;
    if (valor != nullptr) setenv(nombre, valor, 1);
    else unsetenv(nombre);
  }
  ~Entorno() {
    if (antes_) setenv(nombre_, antes_->c_str(), 1);
    else unsetenv(nombre_);
  }
  Entorno(const Entorno&) = delete;
  Entorno& operator=(const Entorno&) = delete;

 private:
  const char* nombre_;
  std::optional<std::string> antes_;
};

TEST(Carpeta, RutasDeWindowsBajoWine) {
  CarpetaTemporal prefijo;
  fs::create_directories(prefijo / "drive_c/QTemp/Sub");
  escribir_archivo(prefijo / "drive_c/QTemp/asignomt.dbf", "");
  const fs::path c = prefijo / "drive_c";
  struct Caso {
    const char* ruta;
    fs::path esperada;
  };
  const Caso casos[] = {
      {"C:\\QTEMP", c / "QTemp"},
      {"c:\\qtemp\\SUB\\X.DBF", c / "QTemp/Sub/X.DBF"},
      {"C:\\QTEMP\\ASIGNOMT.DBF", c / "QTemp/asignomt.dbf"},
      {"\\QTEMP", c / "QTemp"},                              // desde la raíz de la unidad actual
      {"C:\\NUEVA\\Otra", c / "NUEVA/Otra"},                 // lo que no existe queda como se dio
      {"C:\\QTEMP\\\\sub\\", c / "QTemp/Sub"},               // separadores repetidos y final
      {"C:/QTemp/Sub", c / "QTemp/Sub"},
      {"C:\\", c},
  };
  {
    Entorno wine("WINEPREFIX", prefijo.ruta().c_str());
    for (const auto& k : casos) EXPECT_EQ(resolver_ruta_windows(k.ruta), k.esperada) << k.ruta;
  }
  {
    Entorno wine("WINEPREFIX", nullptr);
    Entorno casa("HOME", "/casa/alguien");
    EXPECT_EQ(resolver_ruta_windows(kCarpetaTrabajo), fs::path("/casa/alguien/.wine/drive_c/QTEMP"));
  }
}

TEST(Carpeta, ArchivoDeLaTablaSinDistinguirMayusculas) {
  CarpetaTemporal tmp;
  escribir_archivo(tmp / "asignomt.dbf", "");
  escribir_archivo(tmp / "Proft.Mdx", "");
  EXPECT_EQ(archivo_tabla(tmp.ruta(), "ASIGNOMT"), tmp / "asignomt.dbf");
  EXPECT_EQ(archivo_indice(tmp.ruta(), "PROFT"), tmp / "Proft.Mdx");
  EXPECT_EQ(archivo_tabla(tmp.ruta(), "AULAT"), tmp / "AULAT.DBF");
  EXPECT_EQ(archivo_indice(tmp.ruta(), "ASIGNOMT"), tmp / "ASIGNOMT.MDX");
}

const std::vector<DefinicionCampo> kAsignomt = {DefinicionCampo::caracter("CODIGO", 4),
                                                DefinicionCampo::caracter("DESCRIP", 40)};

TEST(Carpeta, TablaNuevaBorraLaViejaYSuIndice) {
  CarpetaTemporal tmp;
  // Una ASIGNOMT anterior con otros campos y un índice, en minúsculas.
  Tabla::crear(tmp / "asignomt.dbf", std::vector<DefinicionCampo>{DefinicionCampo::entero("VIEJO")},
               std::vector<DefinicionIndice>{{"VIEJO", "VIEJO"}});
  ASSERT_TRUE(fs::exists(tmp / "asignomt.mdx"));
  escribir_archivo(tmp / "SOLUC.DBF", "de otro programa");
  tabla_nueva(tmp.ruta(), "ASIGNOMT", kAsignomt);
  EXPECT_FALSE(fs::exists(tmp / "asignomt.dbf"));
  EXPECT_FALSE(fs::exists(tmp / "asignomt.mdx"));
  EXPECT_FALSE(fs::exists(tmp / "ASIGNOMT.MDX"));
  Tabla t = Tabla::abrir(tmp / "ASIGNOMT.DBF", Modo::compartido);
  ASSERT_EQ(t.campos().size(), 2u);
  EXPECT_EQ(t.campos()[1].nombre, "DESCRIP");
  EXPECT_EQ(t.cuantos(), 0u);
  EXPECT_EQ(leer_archivo(tmp / "SOLUC.DBF"), "de otro programa");
  t.cerrar();

  // Con índice: el .MDX se crea con el árbol vacío.
  tabla_nueva(tmp.ruta(), "DIASHORAST2",
              std::vector<DefinicionCampo>{DefinicionCampo::caracter("DIHO", 10), DefinicionCampo::entero("ORDEN")},
              std::vector<DefinicionIndice>{{"ORDEN", "ORDEN"}});
  EXPECT_TRUE(fs::exists(tmp / "DIASHORAST2.MDX"));
  // Un índice viejo sin su tabla también se borra.
  escribir_archivo(tmp / "PROFT.MDX", "viejo");
  tabla_nueva(tmp.ruta(), "PROFT", kAsignomt);
  EXPECT_FALSE(fs::exists(tmp / "PROFT.MDX"));
}

TEST(Carpeta, TablaNuevaFallaSinCarpetaOConLaTablaEnUso) {
  CarpetaTemporal tmp;
  const fs::path falta = tmp / "QTEMP";
  EXPECT_EQ(mensaje_de([&] { tabla_nueva(falta, "ASIGNOMT", kAsignomt); }),
            "No existe la carpeta de trabajo " + falta.string());
  EXPECT_FALSE(fs::exists(falta));  // no se crea
  EXPECT_EQ(mensaje_de([&] { Preparacion p(falta); }), "No existe la carpeta de trabajo " + falta.string());

  tabla_nueva(tmp.ruta(), "ASIGNOMT", kAsignomt);
  const std::string antes = leer_archivo(tmp / "ASIGNOMT.DBF");
  for (bool exclusivo : {true, false}) {
    Bloqueador otro(tmp / "ASIGNOMT.DBF", exclusivo);
    EXPECT_EQ(mensaje_de([&] { tabla_nueva(tmp.ruta(), "ASIGNOMT", kAsignomt); }),
              "La tabla " + (tmp / "ASIGNOMT.DBF").string() + " está en uso por otro programa");
    EXPECT_EQ(leer_archivo(tmp / "ASIGNOMT.DBF"), antes);
  }
}

// Deja en la carpeta las tablas vivas de una ejecución anterior, cada una con una marca.
void tablas_vivas(const fs::path& trabajo) {
  escribir_archivo(trabajo / "ASIGT.DBF", "viva ASIGT");
  escribir_archivo(trabajo / "PROFT.DBF", "viva PROFT");
  escribir_archivo(trabajo / "PROFT.MDX", "índice viejo de PROFT");
  escribir_archivo(trabajo / "DIASHORAST2.DBF", "viva D2");
  escribir_archivo(trabajo / "DIASHORAST2.MDX", "viva D2 MDX");
  escribir_archivo(trabajo / "SOLUC.DBF", "viva SOLUC");
}

void preparar(const Preparacion& p) {
  tabla_nueva(p.carpeta(), "ASIGT", kAsignomt);
  tabla_nueva(p.carpeta(), "PROFT", kAsignomt);
  tabla_nueva(p.carpeta(), "DIASHORAST2",
              std::vector<DefinicionCampo>{DefinicionCampo::caracter("DIHO", 10), DefinicionCampo::entero("ORDEN")},
              std::vector<DefinicionIndice>{{"ORDEN", "ORDEN"}});
}

const std::vector<std::string> kTablas = {"ASIGT", "PROFT", "DIASHORAST2"};

TEST(Preparacion, ConfirmarSustituyeTodasLasTablas) {
  CarpetaTemporal trabajo;
  tablas_vivas(trabajo.ruta());
  fs::path carpeta;
  {
    Preparacion p(trabajo.ruta());
    carpeta = p.carpeta();
    EXPECT_EQ(carpeta.parent_path(), trabajo.ruta());
    preparar(p);
    const std::string d2 = leer_archivo(p.carpeta() / "DIASHORAST2.DBF");
    const std::string d2_mdx = leer_archivo(p.carpeta() / "DIASHORAST2.MDX");
    p.confirmar(kTablas);
    EXPECT_EQ(leer_archivo(trabajo / "DIASHORAST2.DBF"), d2);
    EXPECT_EQ(leer_archivo(trabajo / "DIASHORAST2.MDX"), d2_mdx);
  }
  EXPECT_FALSE(fs::exists(carpeta));
  EXPECT_FALSE(fs::exists(trabajo / "PROFT.MDX"));  // PROFT ya no tiene índice
  EXPECT_EQ(leer_archivo(trabajo / "SOLUC.DBF"), "viva SOLUC");
  for (const auto& t : kTablas) {
    Tabla tabla = Tabla::abrir(trabajo / (t + ".DBF"), Modo::exclusivo);
    EXPECT_EQ(tabla.cuantos(), 0u) << t;
  }
}

TEST(Preparacion, UnArchivoVivoEnUsoNoDejaTocarNada) {
  for (const char* retenido : {"PROFT.DBF", "PROFT.MDX", "DIASHORAST2.MDX"}) {
    CarpetaTemporal trabajo;
    tablas_vivas(trabajo.ruta());
    std::vector<std::pair<std::string, std::string>> antes;
    for (const auto& e : fs::directory_iterator(trabajo.ruta()))
      antes.emplace_back(e.path().filename().string(), leer_archivo(e.path()));
    {
      Preparacion p(trabajo.ruta());
      preparar(p);
      Bloqueador otro(trabajo / retenido, false);
      EXPECT_EQ(mensaje_de([&] { p.confirmar(kTablas); }),
                "La tabla " + (trabajo / retenido).string() + " está en uso por otro programa")
          << retenido;
    }
    // Todo lo vivo, byte a byte como estaba, y la preparación borrada.
    std::vector<std::pair<std::string, std::string>> despues;
    for (const auto& e : fs::directory_iterator(trabajo.ruta()))
      despues.emplace_back(e.path().filename().string(), leer_archivo(e.path()));
    std::sort(antes.begin(), antes.end());
    std::sort(despues.begin(), despues.end());
    EXPECT_EQ(despues, antes) << retenido;
  }
}

TEST(Preparacion, LaQueDejoUnaEjecucionInterrumpidaSeBorra) {
  CarpetaTemporal trabajo;
  fs::path carpeta;
  {
    Preparacion p(trabajo.ruta());
    carpeta = p.carpeta();
  }
  fs::create_directories(carpeta / "dentro");
  escribir_archivo(carpeta / "ASIGT.DBF", "a medias");
  escribir_archivo(carpeta / "dentro/x", "x");
  Preparacion p(trabajo.ruta());
  EXPECT_TRUE(fs::is_directory(p.carpeta()));
  EXPECT_TRUE(fs::is_empty(p.carpeta()));
}

TEST(Componentes, SeAbrenEnExclusivaConSuNombreYSeCierranSiempre) {
  CarpetaTemporal trabajo;
  Componentes c;
  const std::vector<Componente*> todos = {&c.wwTableNomAsg, &c.wwTableProfesor, &c.wwTableTramos, &c.wwTableAulas,
                                          &c.wwTableGrupos, &c.wwTableAsig,     &c.wwTableSoluc,  &c.wwTableCursos};
  for (Componente* k : todos) tabla_nueva(trabajo.ruta(), k->nombre_tabla(), kAsignomt);

  EXPECT_EQ(mensaje_de([&] { (void)c.wwTableSoluc.tabla(); }).rfind("wwTableSoluc: ", 0), 0u);
  try {
    CierreComponentes cierre(c);
    for (Componente* k : todos) k->abrir(trabajo.ruta());
    for (Componente* k : todos) {
      EXPECT_TRUE(k->abierto());
      EXPECT_EQ(k->tabla().nombre(), k->nombre());
      // Abierto en exclusiva: nadie más lo abre.
      EXPECT_NE(mensaje_de([&] { Tabla t = Tabla::abrir(k->tabla().ruta(), Modo::compartido); }), "");
    }
    (void)c.wwTableSoluc.tabla().texto("DIA");
    ADD_FAILURE() << "DIA no está en la tabla";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "wwTableSoluc: No se encuentra el campo 'DIA'");
  }
  for (Componente* k : todos) {
    EXPECT_FALSE(k->abierto());
    EXPECT_EQ(mensaje_de([&] { Tabla t = Tabla::abrir(archivo_tabla(trabajo.ruta(), k->nombre_tabla()), Modo::exclusivo); }),
              "")
        << k->nombre();
  }
  c.cerrar_todos();  // cerrar lo cerrado no hace nada

  fs::remove(trabajo / "CURSOST.DBF");
  const std::string m = mensaje_de([&] { c.wwTableCursos.abrir(trabajo.ruta()); });
  EXPECT_EQ(m.rfind("wwTableCursos: ", 0), 0u) << m;
  EXPECT_NE(m.find("CURSOST.DBF"), std::string::npos) << m;
  {
    Bloqueador otro(trabajo / "AULAT.DBF", false);
    EXPECT_EQ(mensaje_de([&] { c.wwTableAulas.abrir(trabajo.ruta()); }),
              "La tabla " + (trabajo / "AULAT.DBF").string() + " está en uso por otro programa");
    EXPECT_FALSE(c.wwTableAulas.abierto());
  }
}

}  // namespace
}  // namespace tts
