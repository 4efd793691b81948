#!/usr/bin/python3
# -*- coding: utf-8 -*-
"""Genera examples/centro-ejemplo.xml: la exportación de un centro de secundaria
inventado, con la misma disposición que los archivos que escribe el sistema de
administración (ISO-8859-1, declaración, dos líneas en blanco, sangría de dos
espacios, atributo `registros` en cada grupo, registros CURSO_1, MATERIA_1...).

Todos los nombres y claves son sintéticos. La semilla es fija: cada ejecución
escribe el mismo archivo byte a byte.

Uso: generar-centro.py [SALIDA.xml]   (por omisión, centro-ejemplo.xml junto al script)
"""

import os
import random
import sys

SEMILLA = 20250901

# ---------------------------------------------------------------------------
# Cursos, con sus unidades y las materias que se ofertan en cada uno.
# Las claves de curso tienen seis dígitos, como las reales; unas caen en los
# tramos de nivel conocidos (ESO, BAC, ESPA, CFGM, CFGS) y otras, como la
# mayoría de las reales, fuera de ellos.
# ---------------------------------------------------------------------------

ESO_COMUNES = [
    "Educación Física",
    "Geografía e Historia",
    "Lengua Castellana y Literatura",
    "Lengua Extranjera (Inglés)",
    "Religión Católica",
    "Atención Educativa",
    "Tutoría",
]

CICLO_DIGITAL_1 = [
    "Sistemas informáticos",
    "Bases de datos",
    "Programación",
    "Lenguajes de marcas y sistemas de gestión de información",
    "Entornos de desarrollo",
    "Itinerario personal para la empleabilidad I",
    "Digitalización aplicada a los sectores productivos",
    "Tutoría",
]

# (clave, nombre del curso, unidades, materias)
CURSOS = [
    ("110951", "1º de E.S.O. (LOMLOE)", ["E1A", "E1B", "E1C", "E1D"],
     ESO_COMUNES + ["Biología y Geología", "Matemáticas", "Música",
                    "Educación Plástica, Visual y Audiovisual",
                    "Tecnología y Digitalización",
                    "Segunda Lengua Extranjera (Francés)"]),
    ("110952", "2º de E.S.O. (LOMLOE)", ["E2A", "E2B", "E2C", "E2D"],
     ESO_COMUNES + ["Física y Química", "Matemáticas", "Música",
                    "Educación Plástica, Visual y Audiovisual",
                    "Tecnología y Digitalización",
                    "Segunda Lengua Extranjera (Francés)"]),
    ("110953", "3º de E.S.O. (LOMLOE)", ["E3A", "E3B", "E3C"],
     ESO_COMUNES + ["Biología y Geología", "Física y Química", "Matemáticas",
                    "Tecnología y Digitalización",
                    "Educación en Valores Cívicos y Éticos",
                    "Segunda Lengua Extranjera (Francés)", "Cultura Clásica",
                    "Programación & Robótica <nivel 1>"]),
    ("110954", "4º de E.S.O. (LOMLOE)", ["E4A", "E4B", "E4C"],
     ESO_COMUNES + ["Matemáticas A", "Matemáticas B", "Biología y Geología",
                    "Física y Química", "Economía y Emprendimiento", "Latín",
                    "Tecnología", "Digitalización", "Expresión Artística",
                    "Formación y Orientación Personal y Profesional"]),
    ("212560", "1º Programa de Diversificación Curricular (LOMLOE)", ["E3PDC"],
     ["Ámbito Lingüístico y Social", "Ámbito Científico y Tecnológico",
      "Ámbito Práctico", "Educación Física", "Lengua Extranjera (Inglés)",
      "Religión Católica", "Atención Educativa", "Tutoría"]),
    ("212561", "2º Programa de Diversificación Curricular (LOMLOE)", ["E4PDC"],
     ["Ámbito Lingüístico y Social", "Ámbito Científico y Tecnológico",
      "Educación Física", "Lengua Extranjera (Inglés)",
      "Educación en Valores Cívicos y Éticos", "Religión Católica",
      "Atención Educativa", "Tutoría"]),
    ("111002", "1º de Bachillerato (Ciencias y Tecnología) LOMLOE", ["B1A", "B1B"],
     ["Filosofía", "Lengua Castellana y Literatura I",
      "Lengua Extranjera (Inglés) I", "Educación Física", "Matemáticas I",
      "Física y Química", "Biología, Geología y Ciencias Ambientales",
      "Dibujo Técnico I", "Tecnología e Ingeniería I", "Anatomía Aplicada",
      "Religión Católica", "Tutoría"]),
    ("111003", "1º de Bachillerato (Humanidades y Ciencias Sociales) LOMLOE", ["B1C"],
     ["Filosofía", "Lengua Castellana y Literatura I",
      "Lengua Extranjera (Inglés) I", "Educación Física",
      "Matemáticas Aplicadas a las Ciencias Sociales I", "Latín I", "Griego I",
      "Economía", "Historia del Mundo Contemporáneo", "Literatura Universal",
      "Religión Católica", "Tutoría"]),
    ("111004", "2º de Bachillerato (Ciencias y Tecnología) LOMLOE", ["B2A"],
     ["Historia de España", "Historia de la Filosofía",
      "Lengua Castellana y Literatura II", "Lengua Extranjera (Inglés) II",
      "Matemáticas II", "Física", "Química", "Biología", "Dibujo Técnico II",
      "Tecnología e Ingeniería II", "Religión Católica", "Tutoría"]),
    ("111005", "2º de Bachillerato (Humanidades y Ciencias Sociales) LOMLOE", ["B2B"],
     ["Historia de España", "Historia de la Filosofía",
      "Lengua Castellana y Literatura II", "Lengua Extranjera (Inglés) II",
      "Matemáticas Aplicadas a las Ciencias Sociales II", "Latín II",
      "Griego II", "Empresa y Diseño de Modelos de Negocio", "Geografía",
      "Historia del Arte", "Tutoría"]),
    ("110101", "Educación Secundaria para Personas Adultas. Nivel I", ["ESPA I"],
     ["Ámbito de Comunicación", "Ámbito Social",
      "Ámbito Científico-Tecnológico", "Tutoría"]),
    ("110102", "Educación Secundaria para Personas Adultas. Nivel II", ["ESPA II"],
     ["Ámbito de Comunicación", "Ámbito Social",
      "Ámbito Científico-Tecnológico", "Tutoría"]),
    ("111395", "1º de C.F.G.M. (Sistemas microinformáticos y redes) (Pres.)",
     ["1SMR M", "1SMR T"],
     ["Montaje y mantenimiento de equipos", "Sistemas operativos monopuesto",
      "Aplicaciones ofimáticas", "Redes locales",
      "Formación y Orientación Laboral",
      "Itinerario personal para la empleabilidad I",
      "Digitalización aplicada a los sectores productivos", "Tutoría"]),
    ("111396", "2º de C.F.G.M. (Sistemas microinformáticos y redes) (Pres.)", ["2SMR M"],
     ["Sistemas operativos en red", "Seguridad informática", "Servicios en red",
      "Aplicaciones web", "Itinerario personal para la empleabilidad II",
      "Sostenibilidad aplicada al sistema productivo", "Proyecto intermodular",
      "Inglés profesional", "Tutoría"]),
    ("202310", "1º de C.F.G.M. (Gestión administrativa) (Pres.)", ["1GA"],
     ["Comunicación empresarial y atención al cliente",
      "Operaciones administrativas de compraventa", "Empresa y Administración",
      "Tratamiento informático de la información", "Técnica contable",
      "Formación y Orientación Laboral", "Inglés profesional", "Tutoría"]),
    ("202311", "2º de C.F.G.M. (Gestión administrativa) (Pres.)", ["2GA"],
     ["Operaciones administrativas de recursos humanos",
      "Tratamiento de la documentación contable", "Empresa en el aula",
      "Operaciones auxiliares de gestión de tesorería",
      "Proyecto intermodular", "Tutoría"]),
    ("111450", "1º de C.F.G.S. (Administración de sistemas informáticos en red) (Pres.)",
     ["1ASIR"],
     ["Implantación de sistemas operativos",
      "Planificación y administración de redes", "Fundamentos de hardware",
      "Gestión de bases de datos",
      "Lenguajes de marcas y sistemas de gestión de información",
      "Itinerario personal para la empleabilidad I", "Tutoría"]),
    ("111451", "2º de C.F.G.S. (Administración de sistemas informáticos en red) (Pres.)",
     ["2ASIR"],
     ["Administración de sistemas operativos", "Servicios de red e Internet",
      "Implantación de aplicaciones web",
      "Administración de sistemas gestores de bases de datos",
      "Seguridad y alta disponibilidad", "Proyecto intermodular",
      "Inglés profesional", "Tutoría"]),
    ("202745", "1º de C.F.G.S. (Desarrollo de aplicaciones multiplataforma) (Pres.)",
     ["1DAM"], CICLO_DIGITAL_1),
    ("202746", "2º de C.F.G.S. (Desarrollo de aplicaciones multiplataforma) (Pres.)",
     ["2DAM"],
     ["Acceso a datos", "Desarrollo de interfaces",
      "Programación multimedia y dispositivos móviles",
      "Programación de servicios y procesos",
      "Sistemas de gestión empresarial", "Proyecto intermodular",
      "Inglés profesional", "Tutoría"]),
    ("202747", "1º de C.F.G.S. (Desarrollo de aplicaciones web) (Pres.)",
     ["1DAW"], CICLO_DIGITAL_1),
    ("202748", "2º de C.F.G.S. (Desarrollo de aplicaciones web) (Pres.)", ["2DAW"],
     ["Desarrollo web en entorno cliente", "Desarrollo web en entorno servidor",
      "Despliegue de aplicaciones web", "Diseño de interfaces web",
      "Proyecto intermodular", "Inglés profesional", "Tutoría"]),
    ("108720", "1º de C.F.G.S. (Administración y Finanzas) (Pres.)", ["1AF"],
     ["Gestión de la documentación jurídica y empresarial",
      "Recursos humanos y responsabilidad social corporativa",
      "Ofimática y proceso de la información",
      "Proceso integral de la actividad comercial",
      "Comunicación y atención al cliente", "Inglés profesional", "Tutoría"]),
    ("108721", "2º de C.F.G.S. (Administración y Finanzas) (Pres.)", [],
     ["Gestión de recursos humanos", "Gestión financiera",
      "Contabilidad y fiscalidad", "Gestión logística y comercial",
      "Simulación empresarial", "Proyecto intermodular"]),
    ("202585", "1º de C.F.G.S. (Marketing y publicidad) (Pres.)", ["1MP"],
     ["Marketing digital", "Investigación comercial", "Políticas de marketing",
      "Gestión económica y financiera de la empresa", "Inglés profesional",
      "Tutoría"]),
    ("202586", "2º de C.F.G.S. (Marketing y publicidad) (Pres.)", [],
     ["Diseño y elaboración de material de comunicación",
      "Medios y soportes de comunicación",
      "Relaciones públicas y organización de eventos de marketing",
      "Trabajo de campo en la investigación comercial",
      "Proyecto intermodular"]),
    ("213430", "1º de G.B. (Informática y Comunicaciones)", ["1GB"],
     ["Ciencias aplicadas I", "Comunicación y sociedad I",
      "Montaje y mantenimiento de sistemas y componentes informáticos",
      "Operaciones auxiliares para la configuración y la explotación",
      "Tutoría"]),
    # La misma unidad 1GB figura también en el curso del plan anterior.
    ("202232", "1º de F.P.B. (Informática y Comunicaciones)", ["1GB"],
     ["Ciencias aplicadas I", "Comunicación y sociedad I", "Tutoría"]),
    ("202233", "2º de G.B. (Informática y Comunicaciones)", ["2GB"],
     ["Ciencias aplicadas II", "Comunicación y sociedad II",
      "Instalación y mantenimiento de redes para transmisión de datos",
      "Equipos eléctricos y electrónicos", "Tutoría"]),
    ("213350", "Competencia Digital", ["Competencia Digital"],
     ["Competencia Digital"]),
]

# Materias que se ofertan dos veces en un mismo curso (dos grupos de alumnos
# con distinta clave de materia), hasta completar la oferta del centro.
DESDOBLES = [
    ("110951", "Lengua Extranjera (Inglés)"),
    ("110951", "Matemáticas"),
    ("110952", "Lengua Extranjera (Inglés)"),
    ("110953", "Lengua Extranjera (Inglés)"),
    ("110954", "Lengua Extranjera (Inglés)"),
    ("111002", "Lengua Extranjera (Inglés) I"),
]

# Minutos semanales de una materia: la mayoría, como en los archivos reales.
HORAS_POSIBLES = ["240", "240", "240", "180", "180", "120", "120", "360", "60", "300"]

# ---------------------------------------------------------------------------
# Actividades no lectivas: (regular, nombre, requiere unidad, requiere materia)
# ---------------------------------------------------------------------------

ACTIVIDADES = [
    ("S", "Docencia", "S", "S"),
    ("N", "Actividades no fijas o irregulares", "N", "N"),
    ("S", "Guardia", "N", "N"),
    ("S", "Guardia de recreo", "N", "N"),
    ("S", "Guardia de biblioteca", "N", "N"),
    ("S", "Guardia de convivencia", "N", "N"),
    ("S", "Biblioteca escolar", "N", "N"),
    ("S", "Tutoría lectiva con el grupo", "S", "N"),
    ("S", "Tutoría con familias", "N", "N"),
    ("S", "Tutoría individualizada con alumnos", "N", "N"),
    ("S", "Reunión de departamento", "N", "N"),
    ("S", "Reunión de tutores", "N", "N"),
    ("S", "Reunión de equipo educativo", "N", "N"),
    ("S", "Jefatura de departamento", "N", "N"),
    ("S", "Jefatura de Estudios", "N", "N"),
    ("S", "Jefatura de Estudios Adjunta", "N", "N"),
    ("S", "Jefatura de Estudios de Adultos", "N", "N"),
    ("S", "Dirección", "N", "N"),
    ("S", "Secretaría", "N", "N"),
    ("S", "Vicedirección", "N", "N"),
    ("S", "Comisión de Coordinación Pedagógica", "N", "N"),
    ("S", "Consejo Escolar", "N", "N"),
    ("S", "Coordinación de bilingüismo", "N", "N"),
    ("S", "Coordinación de convivencia", "N", "N"),
    ("S", "Coordinación de igualdad", "N", "N"),
    ("S", "Coordinación de transformación digital", "N", "N"),
    ("S", "Coordinación de actividades extraescolares", "N", "N"),
    ("S", "Coordinación de bienestar y protección del alumnado", "N", "N"),
    ("S", "Coordinación de la biblioteca", "N", "N"),
    ("S", "Coordinación del plan de lectura", "N", "N"),
    ("S", "Coordinación de prevención de riesgos laborales", "N", "N"),
    ("S", "Coordinación de Erasmus +", "N", "N"),
    ("S", "Coordinación de FP Dual", "N", "N"),
    ("S", "Coordinación de la FCT", "N", "N"),
    ("S", "Orientación: atención a alumnos", "N", "N"),
    ("S", "Orientación: atención a familias", "N", "N"),
    ("S", "Pedagogía Terapéutica: apoyo dentro del aula", "S", "S"),
    ("S", "Pedagogía Terapéutica: apoyo fuera del aula", "S", "N"),
    ("S", "Audición y Lenguaje: atención a alumnos", "S", "N"),
    ("S", "Refuerzo de Matemáticas", "S", "S"),
    ("S", "Refuerzo de Lengua Castellana", "S", "S"),
    ("S", "Refuerzo de Inglés", "S", "S"),
    ("S", "Recuperación de materias pendientes", "S", "S"),
    ("S", "Agrupamiento flexible en materias instrumentales", "S", "S"),
    ("S", "Prácticas de laboratorio", "S", "S"),
    ("S", "Preparación de prácticas de laboratorio", "N", "N"),
    ("S", "Mantenimiento del aula de informática", "N", "N"),
    ("S", "Mantenimiento de la red del centro", "N", "N"),
    ("S", "Responsable de medios informáticos", "N", "N"),
    ("S", "Responsable de la página web del centro", "N", "N"),
    ("S", "Responsable del huerto escolar", "N", "N"),
    ("S", "Reducción por mayores de 55 años", "N", "N"),
    ("S", "Reducción por cuidado de hijos", "N", "N"),
    ("S", "Compensación por horario nocturno", "N", "N"),
    ("S", "Compensación por itinerancia", "N", "N"),
    ("S", "Tutor de profesores en prácticas", "N", "N"),
    ("S", "Tutor de alumnos del máster de profesorado", "N", "N"),
    ("S", "Seguimiento de la Formación en Centros de Trabajo", "N", "N"),
    ("S", "Tutor de la Formación en Empresa", "N", "N"),
    ("S", "Proyectos de innovación educativa", "N", "N"),
    ("S", "Programa de acompañamiento escolar", "S", "N"),
    ("S", "Mediación escolar", "N", "N"),
    ("S", "Aula de convivencia", "N", "N"),
    ("S", "Atención al alumnado expulsado", "N", "N"),
    ("N", "Evaluaciones y sesiones de evaluación", "N", "N"),
    ("N", "Formación del profesorado en el centro", "N", "N"),
    ("S", "SEC - Apoyo al alumnado con necesidades educativas", "S", "N"),
    ("S", "SEC - Atención educativa domiciliaria", "N", "N"),
    ("S", "SEC - Desdobles de laboratorio", "S", "S"),
    ("S", "SEC - Docencia a alumnos con materias pendientes", "S", "S"),
    ("S", "SEC - Horas de atención a padres", "N", "N"),
    ("S", "SEC - Otras lectivas", "N", "N"),
    ("S", "SEC-FP - Actividades del equipo directivo", "N", "N"),
    ("S", "SEC-FP - Apoyo a los profesores de guardia", "N", "N"),
    ("S", "SEC-FP - Atención a padres y tutores legales", "N", "N"),
    ("S", "SEC-FP - Colaboración con el departamento de extraescolares", "N", "N"),
    ("S", "SEC-FP - Cualesquiera otras que determine el equipo directivo", "N", "N"),
    ("S", "SEC-FP - Guardias", "N", "N"),
    ("S", "SEC-FP - Guardias de recreo", "N", "N"),
    ("S", "SEC-FP - Representación en el Consejo Escolar", "N", "N"),
    ("S", "FP - Apoyo en módulos profesionales", "S", "S"),
    ("S", "FP - Colaboración en la búsqueda de empresas", "N", "N"),
    ("S", "FP - Coordinación de campeonatos de Formación Profesional", "N", "N"),
    ("S", "FP - Gestión de la FP Dual", "N", "N"),
    ("S", "FP - Preparación de materiales didácticos", "N", "N"),
    ("S", "FP - Talleres en ciclos formativos", "S", "S"),
    ("S", "FP - Tutoría de FCT: visitas a empresas", "N", "N"),
    ("S", " FP - Adjudicar en el periodo de FCT: actualización de equipos", "N", "N"),
    ("S", "FP - Adjudicar en el periodo de FCT: recuperación de alumnos", "S", "S"),
    ("S", "Vigilancia de recreos", "N", "N"),
]

# ---------------------------------------------------------------------------
# Dependencias: (clave de cuatro cifras, nombre).
# ---------------------------------------------------------------------------

def dependencias(azar):
    nombres = []
    for planta, aulas in (("0", range(1, 10)), ("1", range(1, 13)), ("2", range(1, 13))):
        for n in aulas:
            nombres.append("A%s%02d" % (planta, n))
    for n in range(1, 7):
        nombres.append("C%03d" % n)
    nombres += [
        "Laboratorio de Física", "Laboratorio de Química",
        "Laboratorio de Biología", "Taller de Tecnología", "Aula de Música",
        "Aula de Dibujo", "Aula de Informática 1", "Aula de Informática 2",
        "Gimnasio", "Pista polideportiva", "Biblioteca",
        "Sala de Usos Múltiples", "Salón de actos", "Departamento de Orientación",
        "Aula de Pedagogía Terapéutica", "Aula de convivencia", "Sala de profesores",
        "Aula de Idiomas", "Aula taller de Administración",
        "VESM", "Aula de Informática 3",
    ]
    claves = azar.sample(range(4101, 4999), len(nombres))
    claves.sort()
    filas = [("%d" % clave, nombre) for clave, nombre in zip(claves, nombres)]
    # Algunas aulas dadas de alta más tarde, con claves de otra serie.
    filas[3] = ("2817", filas[3][1])
    filas[24] = ("2806", filas[24][1])
    # Una dependencia sin clave: su código sale del nombre.
    filas[-1] = ("", filas[-1][1])
    return filas

# ---------------------------------------------------------------------------
# Tramos horarios: jornada de mañana y jornada de tarde (adultos).
# ---------------------------------------------------------------------------

TRAMOS = [
    ("Tramo 1", 495, 550), ("Tramo 2", 550, 605), ("Recreo 1", 605, 635),
    ("Tramo 3", 635, 690), ("Tramo 4", 690, 745), ("Recreo 2", 745, 760),
    ("Tramo 5", 760, 815), ("Tramo 6", 815, 870), ("Tramo 7", 870, 925),
    ("Tramo 1 Tarde", 960, 1015), ("Tramo 2 Tarde", 1015, 1070),
    ("Recreo Tarde", 1070, 1085), ("Tramo 3 Tarde", 1085, 1140),
    ("Tramo 4 Tarde", 1140, 1195), ("Tramo 5 Tarde", 1195, 1250),
    ("Tramo 6 Tarde", 1250, 1305), ("Tramo 7 Tarde", 1305, 1355),
]

# ---------------------------------------------------------------------------
# Profesorado: nombres inventados, combinados al azar con la semilla fija.
# ---------------------------------------------------------------------------

APELLIDOS = [
    "García", "Fernández", "González", "Rodríguez", "López", "Martínez",
    "Sánchez", "Pérez", "Gómez", "Martín", "Jiménez", "Ruiz", "Hernández",
    "Díaz", "Moreno", "Muñoz", "Álvarez", "Romero", "Gutiérrez", "Torres",
    "Domínguez", "Vázquez", "Ramos", "Gil", "Ramírez", "Serrano", "Blanco",
    "Molina", "Morales", "Suárez", "Delgado", "Castro", "Ortiz", "Rubio",
    "Marín", "Sanz", "Núñez", "Iglesias", "Medina", "Garrido", "Cortés",
    "Castillo", "Santos", "Guerrero", "Cano", "Prieto", "Méndez", "Calvo",
    "Gallego", "Vidal", "León", "Márquez", "Peña", "Flores", "Cabrera",
    "Campos", "Vega", "Fuentes", "Carrasco", "Caballero", "Reyes", "Nieto",
    "Aguilar", "Pascual", "Montero", "Lorenzo", "Hidalgo", "Ferrer", "Durán",
    "Benítez", "Mora", "Vicente", "Arias", "Carmona", "Crespo", "Román",
    "Pastor", "Soto", "Sáez", "Velasco", "Moya", "Soler", "Parra", "Bravo",
    "Rojas", "Castaño", "Zúñiga", "Muñiz", "Cañete", "Ordóñez", "Quiñones",
    "Mañas", "Ibarra", "Echevarría", "Argüelles", "Villaseñor", "Beltrán",
]

NOMBRES = [
    "María", "Carmen", "Ana", "Laura", "Lucía", "Elena", "Isabel", "Pilar",
    "Rosa", "Marta", "Cristina", "Raquel", "Beatriz", "Silvia", "Nuria",
    "Begoña", "Inés", "Sofía", "Julia", "Irene", "Paula", "Alba", "Ángela",
    "Mónica", "Verónica", "Rocío", "Inmaculada", "Montserrat", "Aránzazu",
    "Nerea", "Belén", "Consuelo", "María José", "María del Carmen",
    "Mª Ángeles", "Antonio", "José", "Manuel", "Francisco", "David", "Juan",
    "Javier", "Daniel", "Carlos", "Jesús", "Alejandro", "Miguel", "Rafael",
    "Pedro", "Pablo", "Ángel", "Sergio", "Fernando", "Jorge", "Luis",
    "Alberto", "Álvaro", "Adrián", "Diego", "Raúl", "Iván", "Rubén", "Óscar",
    "Andrés", "Joaquín", "Íñigo", "Iñaki", "Ramón", "Enrique", "Víctor",
    "Gonzalo", "Tomás", "Agustín", "Nicolás", "Jaime", "Sebastián", "Julián",
    "José Luis", "Juan Carlos", "Ignacio",
]

PUESTOS = [
    ("Matemáticas-Profesores de Enseñanza Secundaria", 11),
    ("Lengua Castellana y Literatura-Profesores de Enseñanza Secundaria", 10),
    ("Inglés-Profesores de Enseñanza Secundaria", 8),
    ("Inglés / Inglés Avanzado-Profesores de Enseñanza Secundaria", 3),
    ("Geografía e Historia-Profesores de Enseñanza Secundaria", 7),
    ("Geografía e Historia / Inglés-Profesores de Enseñanza Secundaria", 2),
    ("Biología y Geología-Profesores de Enseñanza Secundaria", 5),
    ("Física y Química-Profesores de Enseñanza Secundaria", 5),
    ("Educación Física-Profesores de Enseñanza Secundaria", 4),
    ("Música-Profesores de Enseñanza Secundaria", 2),
    ("Dibujo-Profesores de Enseñanza Secundaria", 3),
    ("Tecnología-Profesores de Enseñanza Secundaria", 4),
    ("Tecnología-Catedráticos de Enseñanza Secundaria", 1),
    ("Francés-Profesores de Enseñanza Secundaria", 2),
    ("Latín-Profesores de Enseñanza Secundaria", 1),
    ("Griego-Profesores de Enseñanza Secundaria", 1),
    ("Filosofía-Profesores de Enseñanza Secundaria", 3),
    ("Economía-Profesores de Enseñanza Secundaria", 3),
    ("Orientación Educativa-Profesores de Enseñanza Secundaria", 2),
    ("Pedagogía Terapéutica-Maestros", 2),
    ("Audición y Lenguaje-Maestros", 1),
    ("Profesores de Religión-Enseñanza Secundaria", 2),
    ("Informática-Profesores de Enseñanza Secundaria", 7),
    ("Sistemas y Aplicaciones Informáticas-Profesores Técnicos de Formación Profesio", 4),
    ("Administración de Empresas-Profesores de Enseñanza Secundaria", 2),
    ("Procesos de Gestión Administrativa-Profesores Técnicos de Formación Profesion", 2),
    ("Organización y Gestión Comercial-Profesores de Enseñanza Secundaria", 1),
    ("Formación y Orientación Laboral-Profesores de Enseñanza Secundaria", 2),
]
# 100 puestos en total.


def profesores(azar):
    puestos = [p for p, n in PUESTOS for _ in range(n)]
    azar.shuffle(puestos)
    vistos = set()
    claves = set()
    filas = []
    for i, puesto in enumerate(puestos):
        while True:
            ap1, ap2 = azar.sample(APELLIDOS, 2)
            nombre = azar.choice(NOMBRES)
            if (ap1, ap2, nombre) not in vistos:
                break
        vistos.add((ap1, ap2, nombre))
        while True:
            clave = "%d" % azar.randint(300000, 1999999)
            if clave not in claves:
                break
        claves.add(clave)
        anno = azar.randint(1990, 2025)
        toma = "%02d/09/%d" % (azar.choice((1, 1, 1, 2, 3)), anno)
        filas.append([clave, toma, puesto, ap1, ap2, nombre])
    # Casos que se dan en los centros reales:
    filas[17][3:6] = ["Dubois", "", "Claire"]          # sin segundo apellido
    filas[42][3:6] = ["de la Fuente", "Ibáñez", "Begoña"]  # partícula en minúscula
    filas[63][3:6] = ["Muñoz", "Peña", "José Luis"]
    filas[64][3:6] = ["Martín", "Peña", "Jorge"]        # mismas iniciales: MPJ
    filas[81][3:6] = ["Medina", "Pastor", "Juana"]      # otra vez MPJ
    return filas

# ---------------------------------------------------------------------------
# Escritura con la disposición real.
# ---------------------------------------------------------------------------


def escapar(texto):
    return texto.replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;")


class Escritor:
    def __init__(self):
        self.lineas = []

    def linea(self, nivel, texto):
        self.lineas.append("  " * nivel + texto)

    def dato(self, nivel, nombre, valor):
        self.linea(nivel, '<dato nombre_dato="%s">%s</dato>' % (nombre, escapar(valor)))

    def grupo(self, nivel, seq, prefijo, campos, registros):
        self.linea(nivel, '<grupo_datos seq="%s" registros="%d">' % (seq, len(registros)))
        for i, registro in enumerate(registros, start=1):
            self.linea(nivel + 1, '<grupo_datos seq="%s_%d">' % (prefijo, i))
            for campo, valor in zip(campos, registro):
                self.dato(nivel + 2, campo, valor)
            self.linea(nivel + 1, "</grupo_datos>")
        self.linea(nivel, "</grupo_datos>")


def generar():
    azar = random.Random(SEMILLA)

    cursos = [(clave, nombre) for clave, nombre, _, _ in CURSOS]

    # Unidades: una clave por unidad; la que comparten dos cursos sale una vez
    # por curso con la misma clave.
    claves_unidad = {}
    siguiente = 31408200
    unidades = []
    for clave_curso, _, nombres_unidad, _ in CURSOS:
        for nombre in nombres_unidad:
            if nombre not in claves_unidad:
                siguiente += azar.randint(1, 7)
                claves_unidad[nombre] = "%d" % siguiente
            unidades.append((claves_unidad[nombre], nombre, clave_curso))

    # Oferta de materias: una clave de materia por oferta.
    ofertas = []
    for clave_curso, _, _, materias in CURSOS:
        for materia in materias:
            ofertas.append([clave_curso, materia])
    for clave_curso, materia in DESDOBLES:
        posicion = max(i for i, o in enumerate(ofertas) if o[0] == clave_curso) + 1
        ofertas.insert(posicion, [clave_curso, materia])
    clave_materia = 318400
    materias = []
    for clave_curso, materia in ofertas:
        clave_materia += azar.randint(1, 3)
        horas = azar.choice(HORAS_POSIBLES)
        if materia == "Tutoría":
            horas = "60"
        materias.append([clave_curso, materia, "%d" % clave_materia, horas])
    # Tres ofertas sin horas asignadas, como en los archivos reales.
    for i in (57, 131, 212):
        materias[i][3] = ""

    codigos = azar.sample(range(40, 1500), len(ACTIVIDADES))
    codigos[0] = 1
    actividades = [[reg, "%d" % cod, nombre, uni, mat]
                   for (reg, nombre, uni, mat), cod in zip(ACTIVIDADES, codigos)]

    aulas = dependencias(azar)
    jornada = "41270"
    tramos = []
    clave_tramo = 912400
    for texto, inicio, fin in TRAMOS:
        clave_tramo += 2
        tramos.append(["%d" % clave_tramo, texto, "%d" % inicio, "%d" % fin, jornada])

    empleados = profesores(azar)

    e = Escritor()
    e.lineas += ['<?xml version="1.0" encoding="ISO-8859-1"?>', "", ""]
    e.linea(0, '<SERVICIO modulo="HORARIOS" tipo="E" autor="BRELOVA" fecha="14/01/2026 11:37:52">')
    e.linea(1, "<BLOQUE_DATOS>")
    e.linea(2, '<grupo_datos seq="ANNO_ACADEMICO">')
    e.dato(3, "C_ANNO", "2025")
    e.dato(3, "F_INIHORREG", "01/09/2025")
    e.dato(3, "F_FINHORREG", "31/08/2026")
    e.linea(2, "</grupo_datos>")
    e.grupo(2, "CURSOS_DEL_CENTRO", "CURSO", ["X_OFERTAMATRIG", "D_OFERTAMATRIG"], cursos)
    e.grupo(2, "MATERIAS", "MATERIA",
            ["X_OFERTAMATRIG", "D_MATERIAC", "X_MATERIAOMG", "N_HORAS"], materias)
    e.grupo(2, "ACTIVIDADES", "ACTIVIDAD",
            ["L_REGULAR", "X_ACTIVIDAD", "D_ACTIVIDAD", "L_REQUNIDAD", "L_REQMATERIA"],
            actividades)
    e.grupo(2, "DEPENDENCIAS", "DEPENDENCIA", ["X_DEPENDENCIA", "D_DEPENDENCIA"], aulas)
    e.grupo(2, "JORNADAS_ESCOLARES", "JORNADA_ESCOLAR",
            ["X_PLAJORESCCEN", "C_NOMBRE", "F_INIHORREG", "F_FINHORREG"],
            [[jornada, "Horario", "01/09/2025", "31/08/2026"]])
    e.grupo(2, "TRAMOS_HORARIOS", "TRAMO",
            ["X_TRAMO", "T_HORCEN", "N_INICIO", "N_FIN", "X_PLAJORESCCEN"], tramos)
    e.grupo(2, "UNIDADES", "UNIDAD_CURSO", ["X_UNIDAD", "T_NOMBRE", "X_OFERTAMATRIG"], unidades)
    e.grupo(2, "EMPLEADOS", "PROFESOR",
            ["X_EMPLEADO", "F_TOMAPOS", "D_PUESTO", "APELLIDO1", "APELLIDO2", "NOMBRE"],
            empleados)
    e.linea(1, "</BLOQUE_DATOS>")
    e.linea(0, "</SERVICIO>")
    return "\n".join(e.lineas) + "\n"


def main():
    if len(sys.argv) > 2:
        sys.exit("uso: generar-centro.py [SALIDA.xml]")
    salida = sys.argv[1] if len(sys.argv) == 2 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "centro-ejemplo.xml")
    texto = generar()
    with open(salida, "wb") as f:
        f.write(texto.encode("iso-8859-1"))


if __name__ == "__main__":
    main()
