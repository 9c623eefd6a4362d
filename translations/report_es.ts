<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>ReportGraphics</name>
    <message>
        <source>Filters: baseline, 50 Hz notch, 40 Hz low-pass</source>
        <translation>Filtros: línea de base, red 50 Hz, paso bajo 40 Hz</translation>
    </message>
    <message>
        <source>Filters: none</source>
        <translation>Filtros: ninguno</translation>
    </message>
    <message>
        <source>baseline</source>
        <translation>línea de base</translation>
    </message>
    <message>
        <source>50 Hz notch</source>
        <translation>red 50 Hz</translation>
    </message>
    <message>
        <source>40 Hz low-pass</source>
        <translation>paso bajo 40 Hz</translation>
    </message>
    <message>
        <source>Filters: %1</source>
        <translation>Filtros: %1</translation>
    </message>
</context>
<context>
    <name>ReportOutput</name>
    <message>
        <source>The report could not be printed on %1.</source>
        <translation>No se pudo imprimir el informe en %1.</translation>
    </message>
</context>
<context>
    <name>ReportPdf</name>
    <message>
        <source>Report file could not be generated at:

%1

Please check disk space, folder access and antivirus software.</source>
        <translation>No se pudo generar el archivo del informe en:

%1

Compruebe el espacio en disco, el acceso a la carpeta y el antivirus.</translation>
    </message>
</context>
<context>
    <name>ReportTemplate</name>
    <message>
        <source>Page [pageNumber] of [pageCount]</source>
        <translation>Página [pageNumber] de [pageCount]</translation>
    </message>
    <message>
        <source>Exercise stress test</source>
        <translation>Prueba de esfuerzo</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Paciente</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>ID</source>
        <translation>ID</translation>
    </message>
    <message>
        <source>Sex</source>
        <translation>Sexo</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Edad</translation>
    </message>
    <message>
        <source>Birth date</source>
        <translation>Fecha de nacimiento</translation>
    </message>
    <message>
        <source>History no.</source>
        <translation>N.º de historia</translation>
    </message>
    <message>
        <source>Weight (kg)</source>
        <translation>Peso (kg)</translation>
    </message>
    <message>
        <source>Height (cm)</source>
        <translation>Talla (cm)</translation>
    </message>
    <message>
        <source>Study</source>
        <translation>Estudio</translation>
    </message>
    <message>
        <source>Study date</source>
        <translation>Fecha del estudio</translation>
    </message>
    <message>
        <source>Study no.</source>
        <translation>N.º de estudio</translation>
    </message>
    <message>
        <source>Physician</source>
        <translation>Médico</translation>
    </message>
    <message>
        <source>Referred by</source>
        <translation>Remitido por</translation>
    </message>
    <message>
        <source>Technician</source>
        <translation>Técnico</translation>
    </message>
    <message>
        <source>Institution</source>
        <translation>Centro</translation>
    </message>
    <message>
        <source>Indication</source>
        <translation>Indicación</translation>
    </message>
    <message>
        <source>Medication</source>
        <translation>Medicación</translation>
    </message>
    <message>
        <source>Risk factors</source>
        <translation>Factores de riesgo</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protocolo</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Exercise time</source>
        <translation>Tiempo de ejercicio</translation>
    </message>
    <message>
        <source>Total time</source>
        <translation>Tiempo total</translation>
    </message>
    <message>
        <source>Stages</source>
        <translation>Etapas</translation>
    </message>
    <message>
        <source>Stage</source>
        <translation>Etapa</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Veloc.</translation>
    </message>
    <message>
        <source>Incline</source>
        <translation>Pend.</translation>
    </message>
    <message>
        <source>Workload</source>
        <translation>Carga</translation>
    </message>
    <message>
        <source>Dose</source>
        <translation>Dosis</translation>
    </message>
    <message>
        <source>METS</source>
        <translation>METS</translation>
    </message>
    <message>
        <source>HR</source>
        <translation>FC</translation>
    </message>
    <message>
        <source>SBP/DBP</source>
        <translation>TAS/TAD</translation>
    </message>
    <message>
        <source>DP</source>
        <translation>DP</translation>
    </message>
    <message>
        <source>ST [[V5]</source>
        <translation>ST [[V5]</translation>
    </message>
    <message>
        <source>∆ST [[V5]</source>
        <translation>∆ST [[V5]</translation>
    </message>
    <message>
        <source>Maximum values</source>
        <translation>Valores máximos</translation>
    </message>
    <message>
        <source>Maximum HR</source>
        <translation>FC máxima</translation>
    </message>
    <message>
        <source>[maxHR] bpm</source>
        <translation>[maxHR] lpm</translation>
    </message>
    <message>
        <source>Of predicted maximum</source>
        <translation>De la máxima teórica</translation>
    </message>
    <message>
        <source>[maxHRPercent] % of [predictedMaxHR] bpm</source>
        <translation>[maxHRPercent] % de [predictedMaxHR] lpm</translation>
    </message>
    <message>
        <source>Maximum METS</source>
        <translation>METS máximos</translation>
    </message>
    <message>
        <source>Maximum VO2</source>
        <translation>VO2 máximo</translation>
    </message>
    <message>
        <source>[maxVO2] ml/kg/min</source>
        <translation>[maxVO2] ml/kg/min</translation>
    </message>
    <message>
        <source>Maximum BP</source>
        <translation>TA máxima</translation>
    </message>
    <message>
        <source>[maxSysBP]/[maxDiaBP] mmHg</source>
        <translation>[maxSysBP]/[maxDiaBP] mmHg</translation>
    </message>
    <message>
        <source>Maximum double product</source>
        <translation>Doble producto máximo</translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation>Conclusión</translation>
    </message>
    <message>
        <source>Trends</source>
        <translation>Tendencias</translation>
    </message>
    <message>
        <source>HR (bpm)</source>
        <translation>FC (lpm)</translation>
    </message>
    <message>
        <source>SBP (mmHg)</source>
        <translation>TAS (mmHg)</translation>
    </message>
    <message>
        <source>ST V5 (mV)</source>
        <translation>ST V5 (mV)</translation>
    </message>
    <message>
        <source>Average beats at rest</source>
        <translation>Latidos promedio en reposo</translation>
    </message>
    <message>
        <source>Average beats at peak exercise (rest average in the background)</source>
        <translation>Latidos promedio en el esfuerzo máximo (promedio de reposo al fondo)</translation>
    </message>
    <message>
        <source>ST level (mm) and slope (mm/s) per lead</source>
        <translation>Nivel (mm) y pendiente (mm/s) del ST por derivación</translation>
    </message>
    <message>
        <source>Lead</source>
        <translation>Deriv.</translation>
    </message>
    <message>
        <source>ST rest</source>
        <translation>ST reposo</translation>
    </message>
    <message>
        <source>ST peak</source>
        <translation>ST máximo</translation>
    </message>
    <message>
        <source>ST recovery</source>
        <translation>ST recup.</translation>
    </message>
    <message>
        <source>Slope rest</source>
        <translation>Pend. reposo</translation>
    </message>
    <message>
        <source>Slope peak</source>
        <translation>Pend. máximo</translation>
    </message>
    <message>
        <source>Slope recovery</source>
        <translation>Pend. recup.</translation>
    </message>
    <message>
        <source>Event at [event/time]: [event/description]</source>
        <translation>Evento a las [event/time]: [event/description]</translation>
    </message>
    <message>
        <source>Limb leads</source>
        <translation>Derivaciones de los miembros</translation>
    </message>
    <message>
        <source>Chest leads</source>
        <translation>Derivaciones precordiales</translation>
    </message>
    <message>
        <source>Rhythm strip</source>
        <translation>Tira de ritmo</translation>
    </message>
    <message>
        <source>Resting 12-lead ECG</source>
        <translation>ECG de reposo de 12 derivaciones</translation>
    </message>
    <message>
        <source>Measurements</source>
        <translation>Mediciones</translation>
    </message>
    <message>
        <source>[heartRate] bpm</source>
        <translation>[heartRate] lpm</translation>
    </message>
    <message>
        <source>Heart rate</source>
        <translation>Frecuencia cardiaca</translation>
    </message>
    <message>
        <source>[prInterval] ms</source>
        <translation>[prInterval] ms</translation>
    </message>
    <message>
        <source>PR</source>
        <translation>PR</translation>
    </message>
    <message>
        <source>[pDuration] ms</source>
        <translation>[pDuration] ms</translation>
    </message>
    <message>
        <source>P</source>
        <translation>P</translation>
    </message>
    <message>
        <source>[qrsDuration] ms</source>
        <translation>[qrsDuration] ms</translation>
    </message>
    <message>
        <source>QRS</source>
        <translation>QRS</translation>
    </message>
    <message>
        <source>[qtInterval] ms</source>
        <translation>[qtInterval] ms</translation>
    </message>
    <message>
        <source>QT</source>
        <translation>QT</translation>
    </message>
    <message>
        <source>[qtcBazett] ms</source>
        <translation>[qtcBazett] ms</translation>
    </message>
    <message>
        <source>QTc (Bazett)</source>
        <translation>QTc (Bazett)</translation>
    </message>
    <message>
        <source>[qtcFridericia] ms</source>
        <translation>[qtcFridericia] ms</translation>
    </message>
    <message>
        <source>QTc (Fridericia)</source>
        <translation>QTc (Fridericia)</translation>
    </message>
    <message>
        <source>P axis</source>
        <translation>Eje P</translation>
    </message>
    <message>
        <source>QRS axis</source>
        <translation>Eje QRS</translation>
    </message>
    <message>
        <source>T axis</source>
        <translation>Eje T</translation>
    </message>
    <message>
        <source>Intervals of the average beat of all leads together; a value the analysis could not measure is left blank.</source>
        <translation>Intervalos del latido promedio de todas las derivaciones juntas; un valor que el análisis no pudo medir queda en blanco.</translation>
    </message>
    <message>
        <source>Average beats (ST level at the J point, mm)</source>
        <translation>Latidos promedio (nivel del ST en el punto J, mm)</translation>
    </message>
    <message>
        <source>[eventHR] bpm</source>
        <translation>[eventHR] lpm</translation>
    </message>
    <message>
        <source>[eventBP] mmHg</source>
        <translation>[eventBP] mmHg</translation>
    </message>
    <message>
        <source>BP</source>
        <translation>TA</translation>
    </message>
    <message>
        <source>Average beats (rest reference in the background)</source>
        <translation>Latidos promedio (referencia de reposo al fondo)</translation>
    </message>
    <message>
        <source>ST per lead</source>
        <translation>ST por derivación</translation>
    </message>
    <message>
        <source>ST (mm)</source>
        <translation>ST (mm)</translation>
    </message>
    <message>
        <source>Slope (mm/s)</source>
        <translation>Pendiente (mm/s)</translation>
    </message>
    <message>
        <source>Exercise scores</source>
        <translation>Índices de esfuerzo</translation>
    </message>
    <message>
        <source>Duke treadmill score</source>
        <translation>Índice de Duke</translation>
    </message>
    <message>
        <source>HR recovery at 1 min</source>
        <translation>Recuperación de la FC al 1.er min</translation>
    </message>
    <message>
        <source>Chronotropic index</source>
        <translation>Índice cronotrópico</translation>
    </message>
    <message>
        <source>METS achieved</source>
        <translation>METS alcanzados</translation>
    </message>
    <message>
        <source>Reason for stopping</source>
        <translation>Motivo de finalización</translation>
    </message>
    <message>
        <source>Angina</source>
        <translation>Angina</translation>
    </message>
    <message>
        <source>Tilt-table test</source>
        <translation>Prueba de la mesa basculante</translation>
    </message>
    <message>
        <source>Heart rate and blood pressure</source>
        <translation>Frecuencia cardiaca y tensión arterial</translation>
    </message>
    <message>
        <source>DBP (mmHg)</source>
        <translation>TAD (mmHg)</translation>
    </message>
    <message>
        <source>Events</source>
        <translation>Eventos</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Tiempo</translation>
    </message>
    <message>
        <source>Duration (s)</source>
        <translation>Duración (s)</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Descripción</translation>
    </message>
</context>
<context>
    <name>StressReportData</name>
    <message>
        <source>Treadmill</source>
        <translation>Cinta</translation>
    </message>
    <message>
        <source>Ergometer</source>
        <translation>Cicloergómetro</translation>
    </message>
    <message>
        <source>Resting ECG</source>
        <translation>ECG de reposo</translation>
    </message>
    <message>
        <source>Tilt test</source>
        <translation>Prueba de la mesa basculante</translation>
    </message>
    <message>
        <source>Pharmacologic</source>
        <translation>Farmacológica</translation>
    </message>
</context>
<context>
    <name>StripPrinter</name>
    <message>
        <source>Strip could not be written to %1</source>
        <translation>No se pudo escribir la tira en %1</translation>
    </message>
    <message>
        <source>Strip could not be sent to %1</source>
        <translation>No se pudo enviar la tira a %1</translation>
    </message>
</context>
</TS>
