// Carga de archivos: codificaciones de la declaración, ida y vuelta por el guardado, y
// archivos que no son un documento aceptable.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "comun/error.h"
#include "tests/apoyo/apoyo.h"
#include "xml/documento.h"
#include "xml/sobre.h"

namespace tts {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

// UTF-8 a UTF-16LE con marca de orden de bytes (sólo el plano básico, que es lo que usan
// las pruebas).
std::string utf16le_con_bom(std::string_view utf8) {
  std::string salida = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    char32_t u;
    if (b < 0x80) {
      u = b;
      i += 1;
    } else if (b < 0xE0) {
      u = ((b & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu);
      i += 2;
    } else {
      u = ((b & 0x0Fu) << 12) | ((static_cast<unsigned char>(utf8[i + 1]) & 0x3Fu) << 6) |
          (static_cast<unsigned char>(utf8[i + 2]) & 0x3Fu);
      i += 3;
    }
    salida += static_cast<char>(u & 0xFF);
    salida += static_cast<char>(u >> 8);
  }
  return salida;
}

TEST(Carga, CodificacionesSeLeenYSeGuardanIgual) {
  struct Caso {
    const char* nombre;
    std::string bytes;         // el archivo tal como llega
    std::string texto_utf8;    // el texto del dato
    std::string texto_cp1252;  // el mismo, como lo leen los pasos
  };
  const Caso casos[] = {
      {"UTF-8",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO><dato>Matemáticas € Š</dato></SERVICIO>\n",
       "Matemáticas € Š", "Matem\xE1ticas \x80 \x8A"},
      {"ISO-8859-1 con standalone",
       "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" standalone=\"no\"?>\n<SERVICIO><dato>Educaci\xF3n F\xEDsica 1\xBA</dato></SERVICIO>\n",
       "Educación Física 1º", "Educaci\xF3n F\xEDsica 1\xBA"},
      {"windows-1252",
       "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\n<SERVICIO><dato>\x80 y \x8A\x61nchez \x93\x63itado\x94</dato></SERVICIO>\n",
       "€ y Šanchez “citado”", "\x80 y \x8A\x61nchez \x93\x63itado\x94"},
      {"UTF-16 con marca de orden",
       utf16le_con_bom("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n<SERVICIO><dato>Ñandú €</dato></SERVICIO>\n"),
       "Ñandú €", "\xD1\x61nd\xFA \x80"},
  };
  for (const auto& c : casos) {
    Documento d;
    d.cargar_memoria(c.bytes, c.nombre);
    const auto dato = d.elemento_raiz().hijos_elemento("dato");
    ASSERT_EQ(dato.size(), 1u) << c.nombre;
    EXPECT_EQ(dato[0].texto(), c.texto_utf8) << c.nombre;
    EXPECT_EQ(texto_cp1252(dato[0]), c.texto_cp1252) << c.nombre;
    // El guardado conserva la declaración y la codificación: salen los mismos bytes.
    EXPECT_EQ(d.serializar(), c.bytes) << c.nombre;
  }
}

TEST(Carga, CaracterQueLaCodificacionNoTieneSaleComoReferencia) {
  Documento d;
  d.cargar_memoria("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><SERVICIO/>");
  auto dato = d.crear_elemento("dato");
  dato.poner_atributo("nombre_dato", "€");
  dato.poner_texto("α € ñ");
  d.elemento_raiz().anadir_hijo(dato);
  const std::string bytes = d.serializar();
  EXPECT_EQ(bytes, "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                   "<SERVICIO><dato nombre_dato=\"&#8364;\">&#945; &#8364; \xF1</dato></SERVICIO>\n");
  Documento leido;
  leido.cargar_memoria(bytes);
  EXPECT_EQ(leido.elemento_raiz().hijos_elemento("dato")[0].texto(), "α € ñ");
  EXPECT_EQ(leido.elemento_raiz().hijos_elemento("dato")[0].atributo("nombre_dato"), "€");
}

TEST(Carga, ArchivosRealesSeGuardanSinCambios) {
  // La exportación de la administración y el resultado que escribió un programa de horarios
  // (con sus datos vacíos como <dato ...></dato>): mismo contenido y misma codificación; sólo
  // la separación tras la declaración y el salto de línea final pueden variar.
  for (const char* nombre : {"real/exportacion-real.xml", "real/resultado-real.xml"}) {
    const auto original = prueba::leer_archivo(prueba::fixture(nombre));
    Documento d;
    d.cargar(prueba::fixture(nombre));
    const std::string guardado = d.serializar();
    EXPECT_THAT(guardado, ::testing::StartsWith("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n")) << nombre;
    const auto raiz_original = original.substr(original.find("<SERVICIO"));
    const auto raiz_guardada = guardado.substr(guardado.find("<SERVICIO"));
    EXPECT_TRUE(raiz_guardada == (raiz_original.back() == '\n' ? raiz_original : raiz_original + "\n")) << nombre;
  }
}

// Archivos que no son un documento aceptable: cada uno un Error claro que nombra el
// archivo, nunca un documento vacío, un cuelgue o un texto en la salida de errores.
TEST(Carga, ArchivosHostilesSonErrorClaro) {
  prueba::CarpetaTemporal carpeta;
  struct Caso {
    const char* nombre;
    std::function<std::filesystem::path()> preparar;
    std::string mensaje;
  };
  const auto archivo = [&](const char* nombre, std::string contenido) {
    return [&carpeta, nombre, contenido] {
      prueba::escribir_archivo(carpeta / nombre, contenido);
      return carpeta / nombre;
    };
  };
  const std::string bomba =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [\n <!ENTITY a \"aaaaaaaaaa\">\n"
      " <!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">\n <!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\">\n"
      " <!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">\n <!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\">\n"
      " <!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">\n <!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\">\n"
      " <!ENTITY h \"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">\n <!ENTITY i \"&h;&h;&h;&h;&h;&h;&h;&h;&h;&h;\">\n"
      "]>\n<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"MATERIAS\"><grupo_datos>"
      "<dato>&i;</dato><dato>&i;</dato></grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
  const std::string externa =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO [ <!ENTITY secreto SYSTEM \"file:///etc/passwd\"> ]>\n"
      "<SERVICIO><BLOQUE_DATOS><grupo_datos seq=\"MATERIAS\"><grupo_datos>"
      "<dato>&secreto;</dato><dato>x</dato></grupo_datos></grupo_datos></BLOQUE_DATOS></SERVICIO>\n";
  const std::string dtd_externo =
      "<?xml version=\"1.0\"?>\n<!DOCTYPE SERVICIO SYSTEM \"/etc/passwd\">\n<SERVICIO/>\n";
  const std::string bueno =
      "<?xml version=\"1.0\"?>\n<SERVICIO>\n<BLOQUE_DATOS>\n<grupo_datos seq=\"MATERIAS\">\n"
      "<grupo_datos><dato>1</dato><dato>Matemáticas</dato></grupo_datos>\n</grupo_datos>\n</BLOQUE_DATOS>\n</SERVICIO>\n";
  std::vector<Caso> casos = {
      {"no existe", [&] { return carpeta / "no-existe.xml"; }, "El archivo XML no existe: "},
      {"carpeta",
       [&] {
         std::filesystem::create_directory(carpeta / "carpeta.xml");
         return carpeta / "carpeta.xml";
       },
       "El archivo XML es una carpeta, no un archivo: "},
      {"vacío", archivo("vacio.xml", ""), "El archivo XML está vacío: "},
      {"dispositivo", [] { return std::filesystem::path("/dev/zero"); }, "El archivo XML no es un archivo normal: "},
      {"ruta que atraviesa un archivo",
       [&] {
         prueba::escribir_archivo(carpeta / "archivo", "x");
         return carpeta / "archivo" / "dentro.xml";
       },
       "El archivo XML no se puede leer: "},
      {"basura binaria", archivo("basura.xml", std::string("\x00\x01\xFF\xFE\x89PNG\r\n\x1A\n\x7F\x80", 14)),
       "El archivo XML no es válido: "},
      {"texto sin etiquetas", archivo("texto.xml", "esto no es XML\n"), "El archivo XML no es válido: "},
      {"cortado en un elemento", archivo("cortado.xml", bueno.substr(0, bueno.find("Matem") + 4)),
       "El archivo XML no es válido: "},
      {"etiquetas cruzadas", archivo("cruzado.xml", "<SERVICIO>\n<BLOQUE_DATOS>\n</SERVICIO>\n"),
       "Opening and ending tag mismatch"},
      {"codificación falsa", archivo("latin1.xml", "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<SERVICIO>Educaci\xF3n</SERVICIO>"),
       "El archivo XML no es válido: "},
      {"codificación desconocida", archivo("rara.xml", "<?xml version=\"1.0\" encoding=\"X-NINGUNA\"?>\n<SERVICIO/>"),
       "El archivo XML no es válido: "},
      {"bomba de entidades", archivo("bomba.xml", bomba), "declara un DTD o entidades, que no se admiten"},
      {"entidad externa", archivo("externa.xml", externa), "declara un DTD o entidades, que no se admiten"},
      {"DTD externo", archivo("dtd.xml", dtd_externo), "declara un DTD o entidades, que no se admiten"},
      {"entidad sin declarar", archivo("sin-declarar.xml", "<SERVICIO>&secreto;</SERVICIO>"),
       "El archivo XML no es válido: "},
  };
  if (geteuid() != 0) {
    // Como root el archivo se lee igual aunque no tenga permisos.
    casos.push_back({"sin permiso de lectura",
                     [&] {
                       prueba::escribir_archivo(carpeta / "cerrado.xml", bueno);
                       std::filesystem::permissions(carpeta / "cerrado.xml", std::filesystem::perms::none);
                       return carpeta / "cerrado.xml";
                     },
                     "El archivo XML no se puede leer: "});
  }
  for (const auto& c : casos) {
    const auto ruta = c.preparar();
    Documento d;
    ::testing::internal::CaptureStderr();
    try {
      d.cargar(ruta);
      ADD_FAILURE() << "sin error: " << c.nombre;
    } catch (const Error& e) {
      EXPECT_THAT(e.what(), HasSubstr(c.mensaje)) << c.nombre;
      EXPECT_THAT(e.what(), HasSubstr(ruta.string())) << c.nombre;
      EXPECT_THAT(e.what(), Not(HasSubstr("root:"))) << c.nombre;
    }
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << c.nombre;
    // Tras el fallo el documento sigue siendo el de antes (aquí, el nuevo y vacío).
    EXPECT_FALSE(d.elemento_raiz()) << c.nombre;
  }
}

TEST(Carga, ErrorDelAnalizadorLlevaLineaYColumna) {
  Documento d;
  try {
    d.cargar_memoria("<?xml version=\"1.0\"?>\n<SERVICIO>\n  <BLOQUE_DATOS>\n    <dato nombre_dato=\"X\">1</datox>\n",
                     "exportacion.xml");
    ADD_FAILURE() << "sin error";
  } catch (const Error& e) {
    EXPECT_THAT(e.what(), ::testing::MatchesRegex("El archivo XML no es válido: exportacion\\.xml: .*mismatch.* "
                                                  "\\(línea 4, columna [0-9]+\\)"));
  }
  // Un fallo de carga no toca lo que ya estaba cargado.
  d.cargar_memoria("<SERVICIO/>");
  EXPECT_THROW(d.cargar_memoria("<SERVICIO>"), Error);
  EXPECT_EQ(d.elemento_raiz().nombre(), "SERVICIO");
}

TEST(Carga, OtrasCargasSiguenFuncionandoTrasUnRechazo) {
  // El rechazo de un DTD no deja nada instalado que cambie la carga siguiente.
  Documento d;
  EXPECT_THROW(d.cargar_memoria("<!DOCTYPE a [<!ENTITY e \"x\">]><a>&e;</a>"), Error);
  d.cargar_memoria("<SERVICIO>&amp;&#65;</SERVICIO>");
  EXPECT_EQ(d.elemento_raiz().texto(), "&A");
}

}  // namespace
}  // namespace tts

namespace tts {
namespace {

// Un lector de XML ajeno (expat, desde el Python del sistema) lee lo que guardamos en cada
// codificación igual que lo escribimos: lo que libxml2 perdonaría al volver a leerlo,
// otro lector no.
TEST(Carga, OtroLectorLeeLoGuardado) {
  prueba::CarpetaTemporal carpeta;
  const std::string textos[] = {"Matemáticas € Š", "A & B <c> \"d\" 'e'", "α y 中", "", "  con blancos  "};
  std::string esperado;
  for (const auto& t : textos) esperado += "dato " + t + "=" + t + "\n";
  for (const char* codificacion : {"UTF-8", "ISO-8859-1", "windows-1252", "UTF-16"}) {
    const std::string origen =
        std::string("<?xml version=\"1.0\" encoding=\"") + codificacion + "\"?>\n<!-- origen -->\n<SERVICIO/>";
    Documento d;
    d.cargar_memoria(std::string(codificacion) == "UTF-16" ? utf16le_con_bom(origen) : origen);
    d.quitar_hijo(d.elemento_raiz());
    auto raiz = d.crear_elemento("SERVICIO");
    d.anadir_hijo(raiz);
    for (const auto& t : textos) {
      auto dato = d.crear_elemento("dato");
      dato.poner_atributo("nombre_dato", "dato " + t);
      dato.poner_texto(t);
      raiz.anadir_hijo(dato);
    }
    const auto archivo = carpeta / (std::string(codificacion) + ".xml");
    d.guardar(archivo);
    const auto salida = prueba::python(
        "import sys, xml.etree.ElementTree as ET\n"
        "raiz = ET.parse(sys.argv[1]).getroot()\n"
        "sys.stdout.buffer.write(''.join(d.get('nombre_dato') + '=' + (d.text or '') + '\\n' for d in raiz).encode('utf-8'))\n",
        prueba::comillas(archivo.string()));
    EXPECT_EQ(salida.codigo, 0) << codificacion << ": " << salida.errores;
    EXPECT_EQ(salida.texto, esperado) << codificacion;
  }
}

}  // namespace
}  // namespace tts
