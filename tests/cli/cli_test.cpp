// La orden transtamso como la usa una persona: argumentos, códigos de salida, mensajes, y
// las tablas y el resultado que deja, leídos por lectores independientes.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/apoyo/apoyo.h"
#include "xml/documento.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;
using prueba::comillas;
using prueba::ejecutar;
using prueba::Salida;

Salida transtamso(const std::string& argumentos, const std::string& entorno = "") {
  return ejecutar(entorno + " " + comillas(TTS_TRANSTAMSO) + " " + argumentos);
}

std::string ultima_linea(const std::string& texto) {
  auto fin = texto.find_last_not_of('\n');
  if (fin == std::string::npos) return "";
  auto inicio = texto.rfind('\n', fin);
  return texto.substr(inicio == std::string::npos ? 0 : inicio + 1, fin - (inicio == std::string::npos ? 0 : inicio + 1) + 1);
}

TEST(Orden, ArgumentosYCodigosDeSalida) {
  CarpetaTemporal tmp;
  struct Caso {
    const char* nombre;
    std::string argumentos;
    int codigo;
    const char* en_salida;   // texto que debe aparecer en la salida estándar
    const char* en_errores;  // ... y en la de errores
  };
  const Caso casos[] = {
      {"sin argumentos", "", 2, "", "Uso: transtamso"},
      {"orden desconocida", "listar x.xml", 2, "", "Uso: transtamso"},
      {"falta el archivo", "exportar", 2, "", "Uso: transtamso"},
      {"sobra un argumento", "exportar a.xml b.xml", 2, "", "Uso: transtamso"},
      {"versión", "--version", 0, "transtamso 1.0.0", ""},
      {"ayuda", "--help", 0, "exportar", ""},
      {"archivo que no existe", "exportar " + comillas((tmp / "no.xml").string()) + " --carpeta " + comillas(tmp.ruta().string()), 3, "",
       "No existe archivo"},
      {"una carpeta no es un archivo", "importar " + comillas(tmp.ruta().string()) + " --carpeta " + comillas(tmp.ruta().string()), 3, "",
       "No existe archivo"},
      {"carpeta que no existe", "exportar x.xml --carpeta " + comillas((tmp / "no").string()), 1, "", "No existe la carpeta"},
  };
  for (const auto& c : casos) {
    const auto s = transtamso(c.argumentos);
    EXPECT_EQ(s.codigo, c.codigo) << c.nombre << "\n" << s.texto << s.errores;
    EXPECT_NE(s.texto.find(c.en_salida), std::string::npos) << c.nombre << "\n" << s.texto;
    EXPECT_NE(s.errores.find(c.en_errores), std::string::npos) << c.nombre << "\n" << s.errores;
  }
  EXPECT_TRUE(fs::is_empty(tmp.ruta()));
}

// Lee con dbfread todas las tablas de una carpeta y comprueba lo que el guion pida.
Salida dbfread(const fs::path& carpeta, const std::string& comprobaciones) {
  const std::string programa = R"(
import sys, dbfread
carpeta = sys.argv[1]
def tabla(nombre):
    t = dbfread.DBF(carpeta + '/' + nombre + '.DBF', encoding='cp1252', char_decode_errors='strict')
    return t, list(t)
)" + comprobaciones + "\nprint('bien')\n";
  return prueba::python(programa, comillas(carpeta.string()));
}

TEST(Orden, ExportaElArchivoRealATablasQueLeeOtroLector) {
  CarpetaTemporal tmp;
  const fs::path origen = tmp / "exportacion-real.xml";
  fs::copy_file(prueba::fixture("real/exportacion-real.xml"), origen);
  fs::create_directory(tmp / "QTEMP");
  const auto s = transtamso("exportar " + comillas(origen.string()) + " --carpeta " + comillas((tmp / "QTEMP").string()));
  ASSERT_EQ(s.codigo, 0) << s.texto << s.errores;
  EXPECT_EQ(ultima_linea(s.texto), "Proceso finalizado");
  EXPECT_TRUE(s.errores.empty()) << s.errores;

  const auto r = dbfread(tmp / "QTEMP", R"(
import re
t, asig = tabla('ASIGNOMT')
assert [f.name for f in t.fields] == ['COD', 'CODLARGO', 'NOMBRE', 'MATERIA', 'CODTAREA'], t.fields
nombres = [r['NOMBRE'] for r in asig]
# Nombres de asignatura, no claves numéricas; uno por nombre distinto.
assert not any(re.fullmatch(r'\d+', n) for n in nombres), nombres[:5]
assert len(set(n.lower() for n in nombres)) == len(nombres)
assert len(set(r['COD'].lower() for r in asig)) == len(asig)
assert len(set(r['CODLARGO'].lower() for r in asig)) == len(asig)
assert any('á' in n or 'é' in n or 'í' in n or 'ó' in n for n in nombres)
t, asigt = tabla('ASIGT')
assert asigt, 'ASIGT vacía'
assert all(re.fullmatch(r'\d+', r['CLAVE']) for r in asigt), asigt[:3]
assert all(r['HORAS'] == 4 and r['SESIONES'] == '1111' for r in asigt)
t, grupos = tabla('GRUPOST')
porcurso = {}
for g in grupos: porcurso.setdefault(g['CLAVECURSO'], []).append(g['ABREV'])
t, profes = tabla('PROFT')
assert len(profes) == 99, len(profes)
assert len(set(p['ABREV'].lower() for p in profes)) == 99
t, aulas = tabla('AULAT')
assert len(aulas) == 60, len(aulas)
t, tramos = tabla('DIASHORAST')
assert len(tramos) == 17 * 7, len(tramos)
t, tramos2 = tabla('DIASHORAST2')
assert [f.name for f in t.fields][-1] == 'ORDEN'
t, cursos = tabla('CURSOST')
assert len(cursos) == 32, len(cursos)
)");
  EXPECT_EQ(r.codigo, 0) << r.texto << r.errores;
}

TEST(Orden, SinCarpetaUsaCQtempDelPrefijoDeWine) {
  CarpetaTemporal tmp;
  fs::create_directories(tmp / "wine" / "drive_c" / "qtemp");  // en minúsculas, como puede dejarla Wine
  const fs::path origen = tmp / "centro.xml";
  prueba::escribir_archivo(origen, "<?xml version=\"1.0\"?><SERVICIO><BLOQUE_DATOS/></SERVICIO>");
  const auto s = transtamso("exportar " + comillas(origen.string()), "WINEPREFIX=" + comillas((tmp / "wine").string()));
  ASSERT_EQ(s.codigo, 0) << s.texto << s.errores;
  EXPECT_TRUE(fs::exists(tmp / "wine" / "drive_c" / "qtemp" / "PROFT.DBF"));
  EXPECT_FALSE(fs::exists(tmp / "wine" / "drive_c" / "QTEMP"));
}

// El centro de ejemplo de ida y vuelta: exportación, la solución de ejemplo, importación.
// El resultado tiene la forma del resultado real y todas sus claves salen de la exportación.
TEST(Orden, IdaYVueltaDelCentroDeEjemplo) {
  CarpetaTemporal tmp;
  const fs::path origen = tmp / "centro-ejemplo.xml";
  fs::copy_file(prueba::fuente("examples/centro-ejemplo.xml"), origen);
  const fs::path trabajo = tmp / "QTEMP";
  fs::create_directory(trabajo);
  const std::string carpeta = " --carpeta " + comillas(trabajo.string());
  auto s = transtamso("exportar " + comillas(origen.string()) + carpeta);
  ASSERT_EQ(s.codigo, 0) << s.texto << s.errores;
  fs::copy_file(prueba::fuente("examples/SOLUC.DBF"), trabajo / "SOLUC.DBF");
  const auto soluc_antes = prueba::leer_archivo(trabajo / "SOLUC.DBF");
  s = transtamso("importar " + comillas(origen.string()) + carpeta);
  ASSERT_EQ(s.codigo, 0) << s.texto << s.errores;
  const fs::path resultado = tmp / "ResultadoTamsocentro-ejemplo.xml";
  EXPECT_NE(s.texto.find(resultado.string()), std::string::npos) << s.texto;
  EXPECT_EQ(prueba::leer_archivo(trabajo / "SOLUC.DBF"), soluc_antes);

  // Forma: los mismos nombres de elemento y de atributo, en el mismo orden, que el real.
  const std::string forma = R"(
import sys, xml.dom.minidom as m
def forma(ruta):
    d = m.parse(ruta)
    vistas = []
    def camino(e, nivel):
        firma = (nivel, e.tagName, tuple(e.attributes.keys()) if e.attributes else (),
                 e.getAttribute('nombre_dato') if e.tagName == 'dato' else
                 ''.join(c for c in e.getAttribute('seq') if not c.isdigit()))
        if firma not in vistas: vistas.append(firma)
        for c in e.childNodes:
            if c.nodeType == c.ELEMENT_NODE: camino(c, nivel + 1)
    camino(d.documentElement, 0)
    return vistas
a, b = forma(sys.argv[1]), forma(sys.argv[2])
assert a == b, '\n'.join(map(str, a)) + '\n--\n' + '\n'.join(map(str, b))
print('bien')
)";
  auto r = prueba::python(forma, comillas(resultado.string()) + " " +
                                     comillas(prueba::fixture("real/resultado-real.xml").string()));
  EXPECT_EQ(r.codigo, 0) << r.texto << r.errores;

  // Claves: cada valor no vacío del resultado está en la exportación o en el origen.
  const std::string claves = R"(
import sys, dbfread, xml.dom.minidom as m
carpeta, resultado, origen = sys.argv[1:4]
def col(t, c): return {r[c] for r in dbfread.DBF(carpeta + '/' + t + '.DBF', encoding='cp1252')}
d = m.parse(resultado)
entradas = 0
validos = {'X_TRAMO': col('DIASHORAST', 'CODDIHO'), 'X_UNIDAD': col('GRUPOST', 'CLAVE'),
           'X_OFERTAMATRIG': col('ASIGT', 'CLAVECURSO'), 'X_MATERIAOMG': col('ASIGT', 'CLAVE'),
           'X_DEPENDENCIA': col('AULAT', 'ABREV'), 'X_EMPLEADO': col('PROFT', 'X_EMPLEADO')}
encontrados = {k: 0 for k in validos}
for dato in d.getElementsByTagName('dato'):
    n = dato.getAttribute('nombre_dato')
    v = ''.join(c.data for c in dato.childNodes)
    if n in validos and v:
        assert v in validos[n], (n, v)
        encontrados[n] += 1
    if n == 'N_DIASEMANA': entradas += 1
assert entradas > 1000, entradas
assert all(encontrados.values()), encontrados
c = d.getElementsByTagName('dato')[0]
assert c.getAttribute('nombre_dato') == 'C_ANNO' and c.firstChild.data.isdigit()
print('bien')
)";
  r = prueba::python(claves, comillas(trabajo.string()) + " " + comillas(resultado.string()) + " " + comillas(origen.string()));
  EXPECT_EQ(r.codigo, 0) << r.texto << r.errores;
}

}  // namespace
}  // namespace tts
