#include "import/resultado.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <optional>

#include "comun/error.h"
#include "import/importacion.h"
#include "tests/import/apoyo_importacion.h"

namespace tts {
namespace {

namespace fs = std::filesystem;

TEST(Resultado, HoraEnMinutos) {
  struct Caso {
    const char* hora;
    const char* minutos;
  };
  const Caso casos[] = {
      {"08:30", "510"}, {"8:30", "510"}, {"14:05", "845"}, {"00:00", "0"}, {"23:59", "1439"},
      {"", "0"},   // sin tramo: el texto vacío pasa a "0"
      {"7", "427"},  // "07": horas y minutos salen de los mismos dos caracteres
      {"12:30:00", "720"},  // horas de los dos primeros, minutos de los dos últimos ("00")
  };
  for (const auto& c : casos) {
    EXPECT_EQ(hora_en_minutos(c.hora), c.minutos) << "'" << c.hora << "'";
  }
}

TEST(Resultado, HoraQueNoEsNumeroEsErrorDeEntero) {
  struct Caso {
    const char* hora;
    const char* mensaje;
  };
  const Caso casos[] = {
      {"ab:cd", "'ab' no es un valor entero válido"},
      {"08:3x", "'3x' no es un valor entero válido"},
      {"9:5", "':5' no es un valor entero válido"},  // "09:5": los dos últimos son ":5"
      {"  :  ", "'  ' no es un valor entero válido"},
  };
  for (const auto& c : casos) {
    try {
      hora_en_minutos(c.hora);
      ADD_FAILURE() << "sin error: '" << c.hora << "'";
    } catch (const Error& e) {
      EXPECT_EQ(std::string(e.what()), c.mensaje) << "'" << c.hora << "'";
    }
  }
}

TEST(Resultado, AnnoSiguiente) {
  EXPECT_EQ(anno_siguiente("2023"), "2024");
  EXPECT_EQ(anno_siguiente("2099"), "2100");
  EXPECT_EQ(anno_siguiente("999"), "1000");
  EXPECT_EQ(anno_siguiente("99999999999999999999"), "100000000000000000000");  // sin desbordar
}

TEST(Resultado, RutaDelResultado) {
  struct Caso {
    fs::path origen;
    fs::path resultado;
  };
  const Caso casos[] = {
      {"/datos/centro/exportacion.xml", "/datos/centro/ResultadoTamsoexportacion.xml"},
      {"/datos/ResultadoTamsoexp.XML", "/datos/ResultadoTamsoResultadoTamsoexp.XML"},  // el prefijo dos veces
      {"exp.xml", "ResultadoTamsoexp.xml"},
      {"/datos/con blanco/Año 2023.xml", "/datos/con blanco/ResultadoTamsoAño 2023.xml"},
  };
  for (const auto& c : casos) EXPECT_EQ(ruta_resultado(c.origen), c.resultado) << c.origen;
}

// Fija la zona horaria mientras vive y deja la que había.
class ZonaHoraria {
 public:
  explicit ZonaHoraria(const char* tz) {
    if (const char* antes = std::getenv("TZ")) antes_ = antes;
    ::setenv("TZ", tz, 1);
    ::tzset();
  }
  ~ZonaHoraria() {
    if (antes_)
      ::setenv("TZ", antes_->c_str(), 1);
    else
      ::unsetenv("TZ");
    ::tzset();
  }

 private:
  std::optional<std::string> antes_;
};

TEST(Resultado, SelloDeTiempoEnHoraLocal) {
  using namespace std::chrono;
  struct Caso {
    const char* tz;
    system_clock::time_point instante;
    const char* sello;
  };
  const Caso casos[] = {
      {"UTC0", prueba::kInstante, "11/04/2024 18:01:13"},
      {"CET-1", prueba::kInstante, "11/04/2024 19:01:13"},                       // hora local, no UTC
      {"UTC0", system_clock::time_point(seconds(1704067205)), "01/01/2024 00:00:05"},  // ceros a la izquierda
      {"UTC0", system_clock::time_point(seconds(1704067205) + milliseconds(999)), "01/01/2024 00:00:05"},
  };
  for (const auto& c : casos) {
    ZonaHoraria zona(c.tz);
    EXPECT_EQ(sello_tiempo(c.instante), c.sello) << c.tz;
  }
}

std::string envoltura(const std::string& grupo_anno) {
  return "<SERVICIO><BLOQUE_DATOS>" + grupo_anno + "</BLOQUE_DATOS></SERVICIO>";
}

TEST(Resultado, AnnoAcademicoDelDocumento) {
  struct Caso {
    const char* nombre;
    std::string grupo;
    const char* anno;
  };
  const Caso casos[] = {
      {"datos propios con nombre, como los reales",
       "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">2023</dato>"
       "<dato nombre_dato=\"F_INIHORREG\">01/09/2023</dato></grupo_datos>",
       "2023"},
      {"C_ANNO por nombre aunque no sea el primero, recortado",
       "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"F_INIHORREG\">01/09/2023</dato>"
       "<dato nombre_dato=\"C_ANNO\"> 2021\n</dato></grupo_datos>",
       "2021"},
      {"datos propios sin nombre: el primero", "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2019</dato><dato>x</dato></grupo_datos>",
       "2019"},
      {"registros: cuenta el último que tiene dato",
       "<grupo_datos seq=\"ANNO_ACADEMICO\"><grupo_datos seq=\"A1\"><dato>2020</dato></grupo_datos>"
       "<grupo_datos seq=\"A2\"><dato> 2022 </dato></grupo_datos><grupo_datos seq=\"A3\"></grupo_datos></grupo_datos>",
       "2022"},
  };
  for (const auto& c : casos) {
    Documento d;
    d.cargar_memoria(envoltura(c.grupo));
    EXPECT_EQ(anno_academico(d), c.anno) << c.nombre;
  }
}

TEST(Resultado, AnnoAcademicoQueFaltaONoEsNumeroEsError) {
  struct Caso {
    const char* nombre;
    std::string grupo;
    const char* en_mensaje;
  };
  const Caso casos[] = {
      {"sin grupo", "<grupo_datos seq=\"MATERIAS\"/>", "No se encuentra el año académico"},
      {"grupo vacío", "<grupo_datos seq=\"ANNO_ACADEMICO\"></grupo_datos>", "No se encuentra el año académico"},
      {"dato en blanco", "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">  </dato></grupo_datos>",
       "No se encuentra el año académico"},
      {"letras", "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">20x3</dato></grupo_datos>",
       "El año académico '20x3'"},
      {"con signo", "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">-2023</dato></grupo_datos>",
       "El año académico '-2023'"},
      {"curso con barra", "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato>2023/24</dato></grupo_datos>",
       "El año académico '2023/24'"},
      {"acento, en UTF-8 en el mensaje",
       "<grupo_datos seq=\"ANNO_ACADEMICO\"><dato nombre_dato=\"C_ANNO\">año</dato></grupo_datos>",
       "El año académico 'año'"},
  };
  for (const auto& c : casos) {
    Documento d;
    d.cargar_memoria(envoltura(c.grupo));
    try {
      anno_academico(d, "/datos/exp.xml");
      ADD_FAILURE() << "sin error: " << c.nombre;
    } catch (const Error& e) {
      const std::string m = e.what();
      EXPECT_NE(m.find(c.en_mensaje), std::string::npos) << c.nombre << ": " << m;
      EXPECT_NE(m.find("/datos/exp.xml"), std::string::npos) << c.nombre << ": " << m;
    }
  }
}

}  // namespace
}  // namespace tts
