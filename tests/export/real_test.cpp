// La exportación entera sobre el archivo real de un centro, comprobada con un lector de
// dBase ajeno (dbfread) que compara las tablas con el propio XML.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "comun/error.h"
#include "tests/export/apoyo_exportacion.h"

namespace tts::prueba {
namespace {

using ::testing::HasSubstr;

const char* const kComprobacion = R"PY(
import os, sys
import xml.etree.ElementTree as ET
from dbfread import DBF

carpeta, origen = sys.argv[1], sys.argv[2]
fallos = []
def comprobar(cond, texto):
    if not cond:
        fallos.append(texto)

def ruta(tabla):
    for f in os.listdir(carpeta):
        if f.upper() == tabla + ".DBF":
            return os.path.join(carpeta, f)
    raise SystemExit("falta " + tabla)

def tabla(nombre):
    return DBF(ruta(nombre), encoding="cp1252", char_decode_errors="strict")

def filas(nombre):
    return [dict(r) for r in tabla(nombre)]

BLANCOS = "".join(chr(c) for c in range(33))
def recortar(t):
    return t.strip(BLANCOS)

raiz = ET.parse(origen).getroot()
def registros(seq):
    salida = []
    for g in raiz.iterfind("BLOQUE_DATOS/grupo_datos[@seq='%s']" % seq):
        for r in g.findall("grupo_datos"):
            datos = r.findall("dato")
            if len(datos) < 2:
                continue
            d = {}
            for x in datos:
                d.setdefault(x.get("nombre_dato"), recortar("".join(x.itertext())))
            salida.append(d)
    return salida

# Campos de caracteres de cada tabla: nombre y anchura, en su orden.
disenos = {
    "ASIGNOMT": [("COD", 4), ("CODLARGO", 8), ("NOMBRE", 40), ("MATERIA", 8), ("CODTAREA", 12)],
    "PROFT": [("ABREV", 4), ("NOMBRE", 40), ("DEPART", 40), ("DNI", None), ("X_EMPLEADO", 10), ("F_TOMAPOS", 10)],
    "AULAT": [("ABREV", 4), ("NOMBRE", 40), ("EDIFICIO", 1), ("MAXALUM", None), ("DEPCENTRO", 10)],
    "CURSOST": [("ABREV", 3), ("TURNO", 1), ("NIVEL", 5), ("CURSO", 3), ("CLAVE", 10)],
    "GRUPOST": [("ABREV", 4), ("TURNO", 1), ("NIVEL", 5), ("CURSO", 3), ("GRUPO", 2), ("CLAVE", 10), ("CLAVECURSO", 10)],
    "ASIGT": [("CASIG", 4), ("CPROF", 4), ("CGRUP", 4), ("CAULA", 4), ("TURNO", 1), ("NIVEL", 5), ("CURSO", 3),
              ("GRUPO", 2), ("HORAS", None), ("SESIONES", 20), ("CLAVE", 10), ("CLAVECURSO", 10), ("TAREA", 10)],
}
for nombre, campos in disenos.items():
    reales = [(f.name, f.type, f.length) for f in tabla(nombre).fields]
    comprobar([r[0] for r in reales] == [c[0] for c in campos], "%s: campos %s" % (nombre, reales))
    for (n, t, l), (_, ancho) in zip(reales, campos):
        if ancho is not None:
            comprobar(t == "C" and l == ancho, "%s.%s: %s(%d)" % (nombre, n, t, l))

def clave(t):
    return t[:40].rstrip(" ").lower()

# ASIGNOMT: una fila por nombre guardado distinto de materias y actividades, en orden.
materias = registros("MATERIAS")
actividades = registros("ACTIVIDADES")
esperados, vistos = [], set()
for n in [m["D_MATERIAC"] for m in materias] + [a["D_ACTIVIDAD"] for a in actividades]:
    if clave(n) not in vistos:
        vistos.add(clave(n))
        esperados.append(n[:40].rstrip(" "))
asignomt = filas("ASIGNOMT")
comprobar([r["NOMBRE"] for r in asignomt] == esperados, "ASIGNOMT: los nombres no son los del origen")
comprobar(not any(r["NOMBRE"].isdigit() for r in asignomt), "ASIGNOMT: NOMBRE con claves")
for campo in ("COD", "CODLARGO"):
    valores = [r[campo].lower() for r in asignomt]
    comprobar(len(set(valores)) == len(valores), "ASIGNOMT.%s repetido" % campo)
codigo_de = {}
for r in asignomt:
    codigo_de.setdefault(r["NOMBRE"].lower(), r["COD"])

# ASIGT: una fila por materia ofrecida y unidad de su curso.
grupost = filas("GRUPOST")
esperadas = []
for m in materias:
    for g in grupost:
        if g["CLAVECURSO"] == m["X_OFERTAMATRIG"]:
            esperadas.append((codigo_de[clave(m["D_MATERIAC"])], g["ABREV"], m["X_MATERIAOMG"], m["X_OFERTAMATRIG"]))
asigt = filas("ASIGT")
comprobar([(r["CASIG"], r["CGRUP"], r["CLAVE"], r["CLAVECURSO"]) for r in asigt] == esperadas,
          "ASIGT: %d filas, se esperaban %d" % (len(asigt), len(esperadas)))
comprobar(all(r["CLAVE"].isdigit() for r in asigt), "ASIGT.CLAVE sin claves de materia")
comprobar(all(r["HORAS"] == 4 and r["SESIONES"] == "1111" for r in asigt), "ASIGT: HORAS o SESIONES")

# Unicidad de los códigos y una fila por registro.
for nombre, grupo in (("PROFT", "EMPLEADOS"), ("AULAT", "DEPENDENCIAS"), ("GRUPOST", "UNIDADES")):
    f = filas(nombre)
    comprobar(len(f) == len(registros(grupo)), "%s: %d filas" % (nombre, len(f)))
    abrevs = [r["ABREV"].lower() for r in f]
    comprobar(len(set(abrevs)) == len(abrevs), "%s.ABREV repetido" % nombre)
comprobar(len(filas("CURSOST")) == len(registros("CURSOS_DEL_CENTRO")), "CURSOST")

# Tramos: siete días por tramo; en DIASHORAST las horas crecen con el inicio.
tramos = registros("TRAMOS_HORARIOS")
dh = filas("DIASHORAST")
comprobar(len(dh) == 7 * len(tramos) == len(filas("DIASHORAST2")), "DIASHORAST: %d filas" % len(dh))
for d in range(1, 8):
    dia = [r for r in dh if r["DIA"] == str(d)]
    comprobar([r["HORADESDE"] for r in dia] == sorted(r["HORADESDE"] for r in dia), "día %d sin ordenar" % d)
    comprobar(all(r["DIHO"] == str(d) + r["HORA"] for r in dia), "DIHO del día %d" % d)

print("\n".join(fallos) if fallos else "bien")
sys.exit(1 if fallos else 0)
)PY";

TEST(ExportacionReal, TablasSegunElOrigen) {
  Exportacion e(fixture("real/exportacion-real.xml"));
  exportar_todo(e.ctx);
  const Salida s = python(kComprobacion, comillas(e.carpeta.ruta().string()) + " " +
                                             comillas(fixture("real/exportacion-real.xml").string()));
  EXPECT_EQ(s.codigo, 0) << s.texto << s.errores;
  EXPECT_EQ(s.texto, "bien\n") << s.errores;

  // El informe es breve y dice las filas de cada tabla.
  const std::string informe = e.informe.texto();
  for (const char* tabla : {"ASIGNOMT", "PROFT", "AULAT", "CURSOST", "GRUPOST", "ASIGT", "DIASHORAST"})
    EXPECT_THAT(informe, HasSubstr(std::string(tabla) + ": ")) << informe;
  EXPECT_THAT(informe, HasSubstr("PROFT: 99 filas"));
  EXPECT_THAT(informe, HasSubstr("DIASHORAST: 119 filas"));
  EXPECT_LT(e.informe.notas().size(), 40u) << informe;
}

TEST(ExportacionReal, ClaveDeCursoQueNoEsUnNumero) {
  std::string xml = leer_archivo(fixture("real/exportacion-real.xml"));
  const std::string original = "<dato nombre_dato=\"X_OFERTAMATRIG\">212798</dato>\n        <dato nombre_dato=\"D_OFERTAMATRIG\">";
  const auto pos = xml.find(original);
  ASSERT_NE(pos, std::string::npos);
  xml.replace(pos, original.size(),
              "<dato nombre_dato=\"X_OFERTAMATRIG\">2127.8</dato>\n        <dato nombre_dato=\"D_OFERTAMATRIG\">");
  CarpetaTemporal origen;
  escribir_archivo(origen / "centro.xml", xml);
  Exportacion e(origen / "centro.xml");
  try {
    exportar_todo(e.ctx);
    FAIL() << "debía fallar";
  } catch (const Error& err) {
    EXPECT_STREQ(err.what(), "'2127.8' no es un valor entero válido");
    EXPECT_THAT(e.informe.texto(), HasSubstr("CURSOS_DEL_CENTRO, registro 2"));
  }
  // Los pasos siguientes no llegaron a ejecutarse.
  EXPECT_FALSE(std::filesystem::exists(archivo_tabla(e.carpeta.ruta(), "ASIGT")));
}

}  // namespace
}  // namespace tts::prueba

namespace tts::prueba {
namespace {

TEST(ExportacionReal, UnaSegundaExportacionEnLaMismaCarpetaEmpiezaDeCero) {
  Exportacion real(fixture("real/exportacion-real.xml"));
  exportar_todo(real.ctx);

  // Otra exportación, con su propio contexto, sobre las tablas de la primera.
  Documento pequeno;
  pequeno.cargar_memoria(xml_de({{"MATERIAS", {{"1", "9", "Lengua castellana"}}}, {"EMPLEADOS", {}}}), "b.xml");
  Informe informe;
  Componentes componentes;
  ContextoExportacion ctx(pequeno, real.carpeta.ruta(), informe, componentes);
  exportar_todo(ctx);

  const auto asignomt = filas(real.carpeta.ruta(), "ASIGNOMT", {"COD", "NOMBRE"});
  ASSERT_EQ(asignomt.size(), 1u);
  EXPECT_EQ(asignomt[0].at("COD"), "Leng");  // las listas de códigos empiezan vacías
  for (const char* tabla : {"PROFT", "AULAT", "CURSOST", "GRUPOST", "ASIGT", "DIASHORAST", "DIASHORAST2"})
    EXPECT_TRUE(filas(real.carpeta.ruta(), tabla, {}).empty()) << tabla;
}

}  // namespace
}  // namespace tts::prueba
