// Las dos ejecuciones de principio a fin, con una interfaz de prueba: el diálogo, los
// mensajes, el cursor, el modo anfitrión, y que un fallo deje las tablas vivas como estaban.
#include "app/ejecuciones/ejecuciones.h"

#include <gtest/gtest.h>

#include <map>

#include "comun/texto.h"
#include "tables/carpeta.h"
#include "tables/tabla.h"
#include "tests/apoyo/apoyo.h"
#include "tests/app/interfaz_falsa.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;
using prueba::InterfazFalsa;

const char* const kCentro = R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<SERVICIO modulo="HORARIOS" tipo="E" autor="X" fecha="01/01/2024 10:00:00">
  <BLOQUE_DATOS>
    <grupo_datos seq="ANNO_ACADEMICO">
      <dato nombre_dato="C_ANNO">2023</dato>
    </grupo_datos>
    <grupo_datos seq="CURSOS_DEL_CENTRO" registros="1">
      <grupo_datos seq="CURSO_1">
        <dato nombre_dato="X_OFERTAMATRIG">212306</dato>
        <dato nombre_dato="D_OFERTAMATRIG">1 de ESO</dato>
      </grupo_datos>
    </grupo_datos>
    <grupo_datos seq="UNIDADES" registros="1">
      <grupo_datos seq="UNIDAD_1">
        <dato nombre_dato="X_UNIDAD">27301856</dato>
        <dato nombre_dato="T_NOMBRE">1ESOA</dato>
        <dato nombre_dato="X_OFERTAMATRIG">212306</dato>
      </grupo_datos>
    </grupo_datos>
    <grupo_datos seq="MATERIAS" registros="1">
      <grupo_datos seq="MATERIA_1">
        <dato nombre_dato="X_OFERTAMATRIG">212306</dato>
        <dato nombre_dato="D_MATERIAC">Lengua</dato>
        <dato nombre_dato="X_MATERIAOMG">3408911</dato>
        <dato nombre_dato="N_HORAS">4</dato>
      </grupo_datos>
    </grupo_datos>
    <grupo_datos seq="EMPLEADOS" registros="1">
      <grupo_datos seq="EMPLEADO_1">
        <dato nombre_dato="X_EMPLEADO">1269328</dato>
        <dato nombre_dato="F_TOMAPOS">01/09/1996</dato>
        <dato nombre_dato="X_PUESTO">1</dato>
        <dato nombre_dato="APELLIDO1">García</dato>
        <dato nombre_dato="APELLIDO2">López</dato>
        <dato nombre_dato="NOMBRE">Ana</dato>
      </grupo_datos>
    </grupo_datos>
    <grupo_datos seq="TRAMOS_HORARIOS" registros="1">
      <grupo_datos seq="TRAMO_1">
        <dato nombre_dato="X_TRAMO">837716</dato>
        <dato nombre_dato="T_HORCEN">1ª</dato>
        <dato nombre_dato="N_INICIO">510</dato>
        <dato nombre_dato="N_FIN">565</dato>
      </grupo_datos>
    </grupo_datos>
  </BLOQUE_DATOS>
</SERVICIO>
)";

const std::vector<std::string> kTablas = {"ASIGNOMT", "PROFT", "AULAT", "CURSOST", "GRUPOST", "ASIGT", "DIASHORAST",
                                          "DIASHORAST2"};

// Bytes de cada archivo de una carpeta (menos la de preparación), para ver que nada cambió.
std::map<std::string, std::string> contenido(const fs::path& carpeta) {
  std::map<std::string, std::string> m;
  for (const auto& e : fs::directory_iterator(carpeta))
    if (e.is_regular_file()) m[e.path().filename().string()] = prueba::leer_archivo(e.path());
  return m;
}

std::size_t filas(const fs::path& carpeta, const std::string& tabla) {
  auto t = Tabla::abrir(archivo_tabla(carpeta, tabla), Modo::compartido);
  return t.cuantos();
}

struct Banco {
  CarpetaTemporal tmp;
  fs::path trabajo = tmp / "QTEMP";
  fs::path origen = tmp / "centro.xml";
  Estado estado;
  InterfazFalsa interfaz;
  Ejecuciones ej{estado, interfaz, trabajo};

  Banco() {
    fs::create_directory(trabajo);
    prueba::escribir_archivo(origen, utf8_a_cp1252(kCentro));
    ej.reloj = [] { return std::chrono::system_clock::time_point{}; };
  }
  void responder(const fs::path& p) { interfaz.respuestas.emplace_back(p.string()); }
  void cancelar() { interfaz.respuestas.emplace_back(std::nullopt); }
};

TEST(Exportacion, SinArchivoNiDialogoNoTocaNada) {
  for (int modo : {0, 2}) {
    Banco b;
    b.estado.ModoAnfitrion = modo;
    b.cancelar();
    EXPECT_EQ(b.ej.BExportarClick(), Final::sin_archivo);
    EXPECT_EQ(b.interfaz.mensajes, std::vector<std::string>{"No existe archivo"});
    EXPECT_TRUE(fs::is_empty(b.trabajo));
    EXPECT_EQ(b.estado.ResultadoTransformacion, modo == 2 ? -1 : 0);
    EXPECT_EQ(b.interfaz.cierres, modo == 2 ? 1 : 0);
    EXPECT_EQ(b.interfaz.cursores_espera, 0);
  }
}

TEST(Exportacion, EscribeLasOchoTablasYTerminaConSuMensaje) {
  Banco b;
  b.estado.ModoAnfitrion = 2;
  b.responder(b.origen);
  ASSERT_EQ(b.ej.BExportarClick(), Final::finalizado) << (b.interfaz.errores.empty() ? "" : b.interfaz.errores[0]);
  EXPECT_EQ(b.interfaz.mensajes, std::vector<std::string>{"Proceso finalizado"});
  EXPECT_EQ(b.estado.ResultadoTransformacion, 1);
  EXPECT_EQ(b.interfaz.cierres, 1);
  EXPECT_EQ(b.interfaz.cursor, 0);
  for (const auto& t : kTablas) EXPECT_TRUE(fs::exists(archivo_tabla(b.trabajo, t))) << t;
  EXPECT_TRUE(fs::exists(archivo_indice(b.trabajo, "DIASHORAST2")));
  EXPECT_EQ(filas(b.trabajo, "ASIGT"), 1u);
  EXPECT_EQ(filas(b.trabajo, "DIASHORAST"), 7u);
  // Sólo quedan las tablas: la carpeta de preparación se ha ido.
  for (const auto& e : fs::directory_iterator(b.trabajo)) EXPECT_TRUE(e.is_regular_file()) << e.path();
  EXPECT_NE(b.interfaz.ultimo_informe.find("ASIGT"), std::string::npos) << b.interfaz.ultimo_informe;
}

TEST(Exportacion, CancelarTrasUnArchivoElegidoVuelveAUsarlo) {
  Banco b;
  b.responder(b.origen);
  ASSERT_EQ(b.ej.BExportarClick(), Final::finalizado);
  b.cancelar();
  EXPECT_EQ(b.ej.BExportarClick(), Final::finalizado);
  EXPECT_EQ(filas(b.trabajo, "PROFT"), 1u);  // la segunda no acumula filas
  EXPECT_EQ(b.estado.ArchivoXML, b.origen.string());
}

TEST(Exportacion, UnFalloDejaLasTablasVivasComoEstaban) {
  struct Caso {
    const char* nombre;
    std::string xml;
  };
  std::string clave_mala = kCentro;
  clave_mala.replace(clave_mala.find(">212306<"), 8, ">2.5<");
  const Caso casos[] = {
      {"XML mal formado", std::string(kCentro).substr(0, 400)},
      {"clave de curso no numérica", clave_mala},
  };
  for (const auto& c : casos) {
    Banco b;
    b.responder(b.origen);
    ASSERT_EQ(b.ej.BExportarClick(), Final::finalizado);
    const auto antes = contenido(b.trabajo);
    prueba::escribir_archivo(b.origen, utf8_a_cp1252(c.xml));
    b.responder(b.origen);
    EXPECT_EQ(b.ej.BExportarClick(), Final::error) << c.nombre;
    ASSERT_EQ(b.interfaz.errores.size(), 1u) << c.nombre;
    EXPECT_EQ(b.interfaz.mensajes, std::vector<std::string>{"Proceso finalizado"}) << c.nombre;
    EXPECT_EQ(b.estado.ResultadoTransformacion, 1) << c.nombre;  // la primera ya lo había puesto
    EXPECT_EQ(b.interfaz.cursor, 0) << c.nombre;
    EXPECT_EQ(contenido(b.trabajo), antes) << c.nombre;
    for (const auto& e : fs::directory_iterator(b.trabajo)) EXPECT_TRUE(e.is_regular_file()) << e.path();
  }
  Banco b;
  std::string clave = kCentro;
  clave.replace(clave.find(">212306<"), 8, ">2.5<");
  prueba::escribir_archivo(b.origen, utf8_a_cp1252(clave));
  b.responder(b.origen);
  EXPECT_EQ(b.ej.BExportarClick(), Final::error);
  EXPECT_EQ(b.interfaz.errores.at(0), "'2.5' no es un valor entero válido");
}

TEST(Exportacion, UnaTablaVivaEnUsoHaceFallarSinSustituirNada) {
  Banco b;
  b.responder(b.origen);
  ASSERT_EQ(b.ej.BExportarClick(), Final::finalizado);
  const auto antes = contenido(b.trabajo);
  {
    // Otro programa la tiene abierta en exclusiva (los bloqueos se ven entre aperturas).
    auto ocupada = Tabla::abrir(archivo_tabla(b.trabajo, "GRUPOST"), Modo::exclusivo, "otro");
    b.responder(b.origen);
    EXPECT_EQ(b.ej.BExportarClick(), Final::error);
    ASSERT_EQ(b.interfaz.errores.size(), 1u);
    EXPECT_NE(b.interfaz.errores[0].find("GRUPOST"), std::string::npos) << b.interfaz.errores[0];
  }
  EXPECT_EQ(contenido(b.trabajo), antes);
  // Suelta la tabla, y la siguiente exportación puede con todo.
  b.responder(b.origen);
  EXPECT_EQ(b.ej.BExportarClick(), Final::finalizado);
}

TEST(Exportacion, SinCarpetaDeTrabajoErrorQueLaNombra) {
  Banco b;
  fs::remove(b.trabajo);
  b.responder(b.origen);
  EXPECT_EQ(b.ej.BExportarClick(), Final::error);
  ASSERT_EQ(b.interfaz.errores.size(), 1u);
  EXPECT_NE(b.interfaz.errores[0].find(b.trabajo.string()), std::string::npos) << b.interfaz.errores[0];
  EXPECT_FALSE(fs::exists(b.trabajo));
}

TEST(Exportacion, DocumentoSinGruposDaOchoTablasVacias) {
  Banco b;
  prueba::escribir_archivo(b.origen, "<?xml version=\"1.0\"?><OTRA><x/></OTRA>");
  b.responder(b.origen);
  ASSERT_EQ(b.ej.BExportarClick(), Final::finalizado);
  for (const auto& t : kTablas) EXPECT_EQ(filas(b.trabajo, t), 0u) << t;
}

// SOLUC con una clase del único profesor, en el día 1 y la hora 1, más una sin día.
void escribir_soluc(const fs::path& carpeta) {
  const DefinicionCampo campos[] = {DefinicionCampo::caracter("PROF", 4), DefinicionCampo::entero("DIA"),
                                    DefinicionCampo::entero("HORA"), DefinicionCampo::caracter("ASIG", 4),
                                    DefinicionCampo::caracter("CODGRUPO", 4), DefinicionCampo::caracter("AULA", 4)};
  Tabla::crear(carpeta / "SOLUC.DBF", campos);
  auto t = Tabla::abrir(carpeta / "SOLUC.DBF", Modo::exclusivo);
  for (int dia : {1, 0}) {
    t.anadir();
    t.poner("PROF", "GLA");
    t.poner("DIA", dia);
    t.poner("HORA", 1);
    t.poner("ASIG", "Leng");
    t.poner("CODGRUPO", "1ESO");
    t.poner("AULA", "A1");
    t.grabar();
  }
  t.cerrar();
}

TEST(Importacion, IdaYVueltaEscribeElResultadoJuntoAlOrigen) {
  Banco b;
  b.responder(b.origen);
  ASSERT_EQ(b.ej.BExportarClick(), Final::finalizado);
  escribir_soluc(b.trabajo);
  b.estado.ModoAnfitrion = 2;
  b.cancelar();  // el diálogo cancelado usa el archivo de la exportación
  ASSERT_EQ(b.ej.BImportarClick(), Final::finalizado) << (b.interfaz.errores.empty() ? "" : b.interfaz.errores[0]);
  EXPECT_EQ(b.interfaz.cierres, 1);
  EXPECT_EQ(b.interfaz.cursor, 0);
  const fs::path resultado = b.tmp / "ResultadoTamsocentro.xml";
  EXPECT_EQ(b.ej.ultimo_resultado, resultado);
  Documento d;
  d.cargar(resultado);
  const auto entradas = d.seleccionar(
      "/SERVICIO/BLOQUE_DATOS/grupo_datos/grupo_datos/grupo_datos");  // las entradas de horario
  ASSERT_EQ(entradas.size(), 1u);
  std::vector<std::string> valores;
  for (const auto& dato : entradas[0].hijos_elemento("dato")) valores.push_back(dato.texto());
  const std::vector<std::string> esperados = {"1",         "837716",     "A1",  "27301856", "212306", "3408911",
                                              "01/09/2023", "31/08/2024", "510", "565",      "1"};
  EXPECT_EQ(valores, esperados);
  // Los componentes quedan cerrados: otra exportación puede rehacer todas las tablas.
  b.responder(b.origen);
  EXPECT_EQ(b.ej.BExportarClick(), Final::finalizado);
}

TEST(Importacion, UnFalloNoDejaResultadoYCierraLasTablas) {
  Banco b;
  b.responder(b.origen);
  ASSERT_EQ(b.ej.BExportarClick(), Final::finalizado);
  // Sin SOLUC: error al abrirla, ninguna tabla queda abierta, no hay resultado.
  b.cancelar();
  EXPECT_EQ(b.ej.BImportarClick(), Final::error);
  ASSERT_EQ(b.interfaz.errores.size(), 1u);
  EXPECT_NE(b.interfaz.errores[0].find("SOLUC"), std::string::npos) << b.interfaz.errores[0];
  EXPECT_FALSE(fs::exists(b.tmp / "ResultadoTamsocentro.xml"));
  EXPECT_EQ(b.interfaz.cursor, 0);
  b.cancelar();
  EXPECT_EQ(b.ej.BExportarClick(), Final::finalizado);
}

}  // namespace
}  // namespace tts
