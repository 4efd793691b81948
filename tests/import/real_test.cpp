// El centro real: la exportación escribe las tablas del archivo real de la administración,
// un escritor dBase independiente deja la SOLUC que corresponde al resultado real que
// escribió un programa de horarios, y la importación tiene que dar ese mismo resultado,
// entrada por entrada (salvo autor, fecha y sangrado, y las pocas entradas que ninguna fila
// de SOLUC puede dar con estas tablas).
#include <gtest/gtest.h>

#include "export/exportacion.h"
#include "import/importacion.h"
#include "tests/apoyo/apoyo.h"
#include "tests/import/apoyo_importacion.h"

namespace tts {
namespace {

namespace fs = std::filesystem;
using prueba::CarpetaTemporal;

TEST(CentroReal, LaImportacionDaElResultadoReal) {
  CarpetaTemporal carpeta;
  const auto origen = carpeta / "exportacion-real.xml";
  fs::copy_file(prueba::fixture("real/exportacion-real.xml"), origen);
  const std::string real = prueba::fixture("real/resultado-real.xml").string();
  const std::string guion = prueba::leer_archivo(prueba::fixture("importacion/soluc_desde_real.py"));

  Documento documento;
  documento.cargar(origen);
  Informe informe;
  {
    Componentes c;
    CierreComponentes cierre(c);
    ContextoExportacion ctx(documento, carpeta.ruta(), informe, c);
    exportar_todo(ctx);
  }
  const auto soluc = prueba::python(
      guion, "escribir " + prueba::comillas(carpeta.ruta().string()) + " " + prueba::comillas(real));
  ASSERT_EQ(soluc.codigo, 0) << soluc.errores;

  ResultadoImportacion r;
  {
    Componentes c;
    CierreComponentes cierre(c);
    prueba::abrir_componentes(c, carpeta.ruta());
    Documento fuente;
    fuente.cargar(origen);
    r = importar(fuente, c, origen, informe, prueba::kInstante);
  }
  EXPECT_EQ(r.profesores, 99u);  // todos los empleados de la exportación, con o sin horario
  EXPECT_EQ(r.entradas, 1756u);

  const auto comparacion = prueba::python(guion, "comparar " + prueba::comillas(carpeta.ruta().string()) + " " +
                                                     prueba::comillas(real) + " " +
                                                     prueba::comillas(r.archivo.string()));
  EXPECT_EQ(comparacion.codigo, 0) << comparacion.texto << comparacion.errores;
  // Las omitidas son pocas: casi todo el resultado real se reproduce.
  EXPECT_NE(comparacion.texto.find("comparadas 1756 omitidas 19"), std::string::npos) << comparacion.texto;

  // La cabecera del origen real se conserva: su declaración ISO-8859-1.
  const std::string bytes = prueba::leer_archivo(r.archivo);
  EXPECT_EQ(bytes.rfind("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<SERVICIO modulo=\"HORARIOS\"", 0), 0u);
}

}  // namespace
}  // namespace tts
