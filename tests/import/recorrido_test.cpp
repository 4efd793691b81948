// La importación de principio a fin sobre tablas pequeñas: el recorrido de PROFT y SOLUC,
// las búsquedas, los contadores, el informe y lo que el resultado conserva del origen.
#include <gtest/gtest.h>

#include <regex>

#include "comun/error.h"
#include "comun/texto.h"
#include "import/importacion.h"
#include "tests/apoyo/apoyo.h"
#include "tests/import/apoyo_importacion.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;
using prueba::Escuela;
using prueba::FilaSoluc;
using prueba::Fila;

const std::vector<std::string> kNombresEntrada = {"N_DIASEMANA",    "X_TRAMO",      "X_DEPENDENCIA", "X_UNIDAD",
                                                  "X_OFERTAMATRIG", "X_MATERIAOMG", "F_INICIO",      "F_FIN",
                                                  "N_HORINI",       "N_HORFIN",     "X_ACTIVIDAD"};

// Tablas de intercambio con filas repetidas (para ver que gana la primera) y tramos de dos
// cifras; SOLUC la pone cada prueba.
Escuela escuela_base() {
  Escuela e;
  e.proft = {{"AB", "1001", "01/09/1996"}, {"O'K", "1002", "02/09/1997"}, {"ab", "1003", ""}};
  e.asigt = {{"MAT", "1A", "M1", "C1"}, {"MAT", "1A", "M1-bis", "C1-bis"}, {"LEN", "1A", "L1", "C1"}};
  e.asignomt = {{"MAT", ""}, {"GUA", "T77"}, {"GUA", "T88"}};
  e.diashorast = {{"11", "1", "T1", "08:00", "08:55"},    {"11", "1", "T1-bis", "09:00", "09:55"},
                  {"13", "1", "T3", "8:30", "9:25"},      {"112", "1", "T12", "14:05", "15:00"},
                  {"210", "2", "T210", "10:00", "10:55"}, {"14", "1", "T4", "", ""}};
  e.grupost = {{"1A", "U1"}, {"1A", "U1-bis"}, {"2B", "U2"}};
  return e;
}

// Una fila de SOLUC y lo que da: el profesor (ABREV) en cuyo grupo sale la entrada y sus
// once valores, o ningún profesor si no se escribe.
struct CasoEntrada {
  const char* regla;
  FilaSoluc fila;
  const char* profesor;  // nullptr: no se escribe
  std::vector<std::string> valores;
};

std::vector<std::string> con_fechas(std::vector<std::string> v) {
  v.insert(v.begin() + 6, {"01/09/2023", "31/08/2024"});
  return v;
}

const std::vector<CasoEntrada>& casos_entrada() {
  static const std::vector<CasoEntrada> casos = {
      {"todo encontrado; con filas repetidas gana la primera (ASIGT, DIASHORAST, GRUPOST)",
       {"AB", "1", "1", "MAT", "1A", "A1"}, "AB", con_fechas({"1", "T1", "A1", "U1", "C1", "M1", "480", "535", "1"})},
      {"nada encontrado salvo el tramo; aula en blanco; hora de una cifra",
       {"AB", "1", "3", "XXX", "ZZ", "   "}, "AB", con_fechas({"1", "T3", "", "", "", "", "510", "565", "1"})},
      {"DIA 0: no se escribe, pero cuenta en registros", {"AB", "0", "5", "MAT", "1A", "A1"}, nullptr, {}},
      {"periodo de dos cifras: clave 112; CODTAREA de la primera fila GUA",
       {"AB", "1", "12", "GUA", "2B", "A2"}, "AB", con_fechas({"1", "T12", "A2", "U2", "", "", "845", "900", "T77"})},
      {"día 2 periodo 10: clave 210", {"AB", "2", "10", "MAT", "1A", "A3"}, "AB",
       con_fechas({"2", "T210", "A3", "U1", "C1", "M1", "600", "655", "1"})},
      {"tramo no encontrado tras uno encontrado: vacíos y 0", {"AB", "3", "1", "MAT", "1A", "A4"}, "AB",
       con_fechas({"", "", "A4", "U1", "C1", "M1", "0", "0", "1"})},
      {"asignación no encontrada tras una encontrada (LEN con 2B)", {"AB", "1", "1", "LEN", "2B", ""}, "AB",
       con_fechas({"1", "T1", "", "U2", "", "", "480", "535", "1"})},
      {"tramo con horas vacías: 0", {"AB", "1", "4", "MAT", "1A", "A5"}, "AB",
       con_fechas({"1", "T4", "A5", "U1", "C1", "M1", "0", "0", "1"})},
      {"PROF de ningún profesor", {"XY", "1", "1", "MAT", "1A", "A1"}, nullptr, {}},
      {"PROF que sólo difiere en mayúsculas de dos ABREV", {"Ab", "1", "1", "MAT", "1A", "A1"}, nullptr, {}},
      {"ABREV con comilla simple; caracteres especiales del XML en el aula",
       {"O'K", "1", "3", "GUA", "1A", "&<>\"'"}, "O'K", con_fechas({"1", "T3", "&<>\"'", "U1", "", "", "510", "565", "T77"})},
      {"ABREV en minúsculas sólo toma lo suyo", {"ab", "1", "1", "MAT", "1A", "Áñ€"}, "ab",
       con_fechas({"1", "T1", "Áñ€", "U1", "C1", "M1", "480", "535", "1"})},
  };
  return casos;
}

TEST(Importacion, EntradasYBusquedasConSolucNumericaYDeCaracteres) {
  for (const bool numerica : {true, false}) {
    SCOPED_TRACE(numerica ? "SOLUC con DIA y HORA enteros" : "SOLUC con DIA y HORA de caracteres");
    CarpetaTemporal carpeta;
    Escuela e = escuela_base();
    e.soluc_numerica = numerica;
    for (const auto& c : casos_entrada()) {
      FilaSoluc f = c.fila;
      f.aula = utf8_a_cp1252(f.aula);
      e.soluc.push_back(f);
    }
    e.escribir(carpeta.ruta());

    Informe informe;
    const auto r = prueba::importar_en(carpeta.ruta(), prueba::origen_xml(), informe);
    EXPECT_EQ(r.archivo, carpeta / "ResultadoTamsoorigen.xml");
    EXPECT_EQ(r.profesores, 3u);
    EXPECT_EQ(r.entradas, 9u);

    const auto leido = prueba::leer_resultado(r.archivo);
    EXPECT_EQ(leido.anno, "2023");
    EXPECT_EQ(leido.registros, "3");
    ASSERT_EQ(leido.profesores.size(), 3u);

    const char* abrev[] = {"AB", "O'K", "ab"};
    const char* registros[] = {"8", "1", "1"};  // AB: siete entradas con día y una con DIA 0
    const char* empleados[] = {"1001", "1002", "1003"};
    for (std::size_t p = 0; p < 3; ++p) {
      const auto& prof = leido.profesores[p];
      SCOPED_TRACE(abrev[p]);
      EXPECT_EQ(prof.seq, "HORARIO_REGULAR_PROFESOR_" + std::to_string(p + 1));
      EXPECT_EQ(prof.registros, registros[p]);
      EXPECT_EQ(prof.x_empleado, empleados[p]);
      EXPECT_EQ(prof.datos, 2u);
      std::size_t k = 0;
      for (const auto& c : casos_entrada()) {
        if (c.profesor == nullptr || std::string(c.profesor) != abrev[p]) continue;
        ASSERT_LT(k, prof.entradas.size()) << c.regla;
        const auto& entrada = prof.entradas[k];
        EXPECT_EQ(entrada.seq, "ACTIVIDAD_" + std::to_string(k + 1)) << c.regla;
        EXPECT_EQ(entrada.nombres, kNombresEntrada) << c.regla;
        EXPECT_EQ(entrada.valores, c.valores) << c.regla;
        ++k;
      }
      EXPECT_EQ(prof.entradas.size(), k);
    }
    EXPECT_EQ(leido.profesores[2].f_tomapos, "");
  }
}

bool contiene(const std::string& texto, const std::string& parte) { return texto.find(parte) != std::string::npos; }

TEST(Importacion, InformeDeLaEjecucion) {
  CarpetaTemporal carpeta;
  Escuela e = escuela_base();
  for (const auto& c : casos_entrada()) e.soluc.push_back(c.fila);
  // Siete códigos de profesor desconocidos más (ocho en total, con "XY" y "Ab").
  for (const char* p : {"Q1", "Q2", "Q3", "Q4", "Q5", "Q6"}) e.soluc.push_back({p, "1", "1", "MAT", "1A", ""});
  e.soluc.push_back({"Q1", "2", "1", "MAT", "1A", ""});
  // Una guardia: actividad sin unidad, que no es una asignación ni una unidad que falten.
  e.soluc.push_back({"O'K", "1", "1", "GUA", "", ""});
  e.escribir(carpeta.ruta());

  Informe informe;
  prueba::importar_en(carpeta.ruta(), prueba::origen_xml(), informe);
  const std::string t = informe.texto();
  EXPECT_TRUE(contiene(t, "3 profesores y 10 entradas escritos en " + (carpeta / "ResultadoTamsoorigen.xml").string()))
      << t;
  EXPECT_TRUE(contiene(t, "Aviso: 1 registro de SOLUC sin día (DIA 0)")) << t;
  EXPECT_TRUE(contiene(t, "Aviso: 9 registros de SOLUC con un PROF que no es el ABREV de ningún profesor de PROFT "
                          "no se han escrito: 'XY', 'Ab', 'Q1', 'Q2', 'Q3' y 3 más."))
      << t;
  EXPECT_TRUE(contiene(t, "Aviso: 4 entradas sin asignación en ASIGT")) << t;
  EXPECT_TRUE(contiene(t, "profesor AB, día 1, hora 3 (ASIG 'XXX', CODGRUPO 'ZZ')")) << t;
  EXPECT_TRUE(contiene(t, "Aviso: 2 entradas sin fila en ASIGNOMT")) << t;  // XXX y LEN
  EXPECT_TRUE(contiene(t, "Aviso: 1 entrada sin tramo en DIASHORAST (DIHO); N_DIASEMANA y X_TRAMO quedan vacíos y "
                          "N_HORINI y N_HORFIN en 0: profesor AB, día 3, hora 1 (DIHO '31')."))
      << t;
  EXPECT_TRUE(contiene(t, "Aviso: 1 entrada sin unidad en GRUPOST")) << t;
  EXPECT_TRUE(contiene(t, "1 entrada sin unidad (CODGRUPO vacío), de actividades que no son clases")) << t;
}

TEST(Importacion, NumerosDeProfesorYProfesoresSinEntradas) {
  CarpetaTemporal carpeta;
  Escuela e = escuela_base();
  e.proft.clear();
  for (int i = 1; i <= 11; ++i) e.proft.push_back({"P" + std::to_string(i), std::to_string(500 + i), "01/09/2000"});
  e.soluc = {{"P11", "0", "1", "MAT", "1A", ""}, {"P11", "1", "1", "MAT", "1A", ""}, {"P11", "1", "3", "MAT", "1A", ""},
             {"P11", "0", "2", "MAT", "1A", ""}, {"P11", "2", "10", "MAT", "1A", ""}};
  e.escribir(carpeta.ruta());

  Informe informe;
  prueba::importar_en(carpeta.ruta(), prueba::origen_xml(), informe);
  const auto leido = prueba::leer_resultado(carpeta / "ResultadoTamsoorigen.xml");
  EXPECT_EQ(leido.registros, "11");
  ASSERT_EQ(leido.profesores.size(), 11u);
  for (std::size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(leido.profesores[i].seq, "HORARIO_REGULAR_PROFESOR_" + std::to_string(i + 1));
    EXPECT_EQ(leido.profesores[i].registros, "0");
    EXPECT_EQ(leido.profesores[i].datos, 2u);
    EXPECT_TRUE(leido.profesores[i].entradas.empty());
  }
  const auto& once = leido.profesores[10];
  EXPECT_EQ(once.seq, "HORARIO_REGULAR_PROFESOR_11");
  EXPECT_EQ(once.x_empleado, "511");
  EXPECT_EQ(once.registros, "5");  // cinco registros, dos sin día
  ASSERT_EQ(once.entradas.size(), 3u);
  EXPECT_EQ(once.entradas[0].seq, "ACTIVIDAD_1");
  EXPECT_EQ(once.entradas[2].seq, "ACTIVIDAD_3");
  EXPECT_EQ(once.entradas[2].valores[1], "T210");
}

TEST(Importacion, ProftVacioNoLeeSoluc) {
  CarpetaTemporal carpeta;
  Escuela e = escuela_base();
  e.proft.clear();
  e.soluc_numerica = false;
  e.soluc = {{"AB", "x", "y", "MAT", "1A", ""}};  // DIA no numérico: no se llega a leer
  e.escribir(carpeta.ruta());

  Informe informe;
  const auto r = prueba::importar_en(carpeta.ruta(), prueba::origen_xml(), informe);
  EXPECT_EQ(r.profesores, 0u);
  const auto leido = prueba::leer_resultado(r.archivo);
  EXPECT_EQ(leido.anno, "2023");
  EXPECT_EQ(leido.registros, "0");
  EXPECT_TRUE(leido.profesores.empty());
  const std::string bytes = prueba::leer_archivo(r.archivo);
  EXPECT_TRUE(contiene(bytes, "<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"0\"></grupo_datos>") ||
              contiene(bytes, "<grupo_datos seq=\"HORARIOS_REGULARES\" registros=\"0\"/>"))
      << bytes;
}

// DIA y HORA de caracteres se leen como enteros con las reglas de la tabla (blancos fuera),
// pero la clave del tramo lleva el texto de DIA tal cual; y sólo se leen como enteros las
// entradas de un profesor, así que un PROF desconocido con DIA "x" no es un error.
TEST(Importacion, EnterosDeSolucDeCaracteres) {
  CarpetaTemporal carpeta;
  Escuela e = escuela_base();
  e.soluc_numerica = false;
  e.soluc = {{"AB", " 1", "3", "MAT", "1A", ""}, {"XY", "x", "y", "MAT", "1A", ""}, {"AB", "1", " 3", "MAT", "1A", ""}};
  e.escribir(carpeta.ruta());
  Informe informe;
  const auto r = prueba::importar_en(carpeta.ruta(), prueba::origen_xml(), informe);
  const auto leido = prueba::leer_resultado(r.archivo);
  ASSERT_EQ(leido.profesores.at(0).entradas.size(), 2u);
  EXPECT_EQ(leido.profesores[0].entradas[0].valores[1], "");    // clave " 13": sin tramo
  EXPECT_EQ(leido.profesores[0].entradas[1].valores[1], "T3");  // HORA " 3" da 3: clave "13"
  EXPECT_TRUE(contiene(informe.texto(), "(DIHO ' 13')")) << informe.texto();
}

// Lo que queda del origen y la forma de los bytes: la declaración y su codificación, lo que
// hay fuera de la raíz, nada de la raíz vieja, la cabecera y los datos vacíos.
TEST(Importacion, PrologoYCodificacionDelOrigen) {
  struct Caso {
    const char* nombre;
    std::string origen;
    std::string cabeza;      // el principio exacto del resultado
    std::string en_bytes;    // cómo debe salir en los bytes del archivo
  };
  const std::string bloque =
      "<BLOQUE_DATOS><grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2023</dato></grupo_datos>"
      "<grupo_datos seq=\"EMPLEADOS\" registros=\"1\"><grupo_datos seq=\"EMPLEADO_1\"><dato>viejo</dato></grupo_datos>"
      "</grupo_datos></BLOQUE_DATOS><OTRO>fuera</OTRO>";
  const Caso casos[] = {
      {"ISO-8859-1 con comentario e instrucción antes de la raíz",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- exportado -->\n<?tts prueba?>\n"
       "<SERVICIO modulo=\"HORARIOS\" tipo=\"E\" autor=\"BRELOVA\" fecha=\"x\" extra=\"1\">" +
           bloque + "</SERVICIO>\n",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<!-- exportado -->\n<?tts prueba?>\n"
       "<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"HORARIOS\" fecha=\"",
       "<dato nombre_dato=\"X_EMPLEADO\">\xD1\xE1</dato>"},
      {"UTF-8 con declaración",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO tipo=\"E\">" + bloque + "</SERVICIO>",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO modulo=\"HORARIOS\" tipo=\"I\" autor=\"HORARIOS\" fecha=\"",
       "<dato nombre_dato=\"X_EMPLEADO\">\xC3\x91\xC3\xA1</dato>"},
  };
  for (const auto& c : casos) {
    SCOPED_TRACE(c.nombre);
    CarpetaTemporal carpeta;
    Escuela e = escuela_base();
    e.proft = {{"AB", utf8_a_cp1252("Ñ") + "\xE1", ""}};
    e.soluc = {{"AB", "1", "3", "XXX", "ZZ", ""}};
    e.escribir(carpeta.ruta());
    Informe informe;
    const auto r = prueba::importar_en(carpeta.ruta(), c.origen, informe);
    const std::string bytes = prueba::leer_archivo(r.archivo);
    EXPECT_EQ(bytes.substr(0, c.cabeza.size()), c.cabeza) << bytes;
    EXPECT_TRUE(std::regex_search(bytes, std::regex("fecha=\"\\d\\d/\\d\\d/\\d{4} \\d\\d:\\d\\d:\\d\\d\"><BLOQUE_DATOS>"
                                                    "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">"
                                                    "2023</dato></grupo_datos><grupo_datos seq=\"HORARIOS_REGULARES\" "
                                                    "registros=\"1\"><grupo_datos seq=\"HORARIO_REGULAR_PROFESOR_1\" "
                                                    "registros=\"1\">")))
        << bytes;
    EXPECT_TRUE(contiene(bytes, c.en_bytes)) << bytes;
    EXPECT_TRUE(contiene(bytes, "<dato nombre_dato=\"F_TOMAPOS\"></dato>")) << bytes;
    EXPECT_TRUE(contiene(bytes, "<dato nombre_dato=\"X_DEPENDENCIA\"></dato>")) << bytes;
    for (const char* viejo : {"extra", "tipo=\"E\"", "EMPLEADOS", "viejo", "OTRO", "fuera"})
      EXPECT_FALSE(contiene(bytes, viejo)) << viejo;
    // El origen no se toca.
    EXPECT_EQ(prueba::leer_archivo(carpeta / "origen.xml"), c.origen);
    // Y el resultado se lee con su propia codificación.
    EXPECT_EQ(prueba::leer_resultado(r.archivo).profesores.at(0).x_empleado, "Ñá");
  }
}

// Importar otra vez sustituye el resultado. Un resultado puede ser el origen de otra
// importación: tiene el sobre y el año como dato propio; su nombre lleva el prefijo dos veces.
TEST(Importacion, SegundaImportacionYResultadoComoOrigen) {
  CarpetaTemporal carpeta;
  Escuela e = escuela_base();
  e.soluc = {{"AB", "1", "1", "MAT", "1A", "A1"}};
  e.escribir(carpeta.ruta());
  Informe informe;
  const auto r1 = prueba::importar_en(carpeta.ruta(), prueba::origen_xml("2030"), informe);
  EXPECT_EQ(prueba::leer_resultado(r1.archivo).anno, "2030");
  const auto r2 = prueba::importar_en(carpeta.ruta(), prueba::origen_xml("2031"), informe);
  EXPECT_EQ(r2.archivo, r1.archivo);
  const auto leido = prueba::leer_resultado(r2.archivo);
  EXPECT_EQ(leido.anno, "2031");
  ASSERT_EQ(leido.profesores.size(), 3u);
  ASSERT_EQ(leido.profesores[0].entradas.size(), 1u);
  EXPECT_EQ(leido.profesores[0].entradas[0].valores[6], "01/09/2031");
  EXPECT_EQ(leido.profesores[0].entradas[0].valores[7], "31/08/2032");

  // El resultado elegido como origen.
  Componentes c;
  CierreComponentes cierre(c);
  prueba::abrir_componentes(c, carpeta.ruta());
  Documento d;
  d.cargar(r2.archivo);
  const auto r3 = importar(d, c, r2.archivo, informe, prueba::kInstante);
  EXPECT_EQ(r3.archivo, carpeta / "ResultadoTamsoResultadoTamsoorigen.xml");
  const auto leido3 = prueba::leer_resultado(r3.archivo);
  EXPECT_EQ(leido3.anno, "2031");
  EXPECT_EQ(leido3.profesores.size(), 3u);
  // Sin temporales en la carpeta.
  for (const auto& entrada : fs::directory_iterator(carpeta.ruta()))
    EXPECT_EQ(entrada.path().extension() == ".tmp", false) << entrada.path();
}

}  // namespace
}  // namespace tts
