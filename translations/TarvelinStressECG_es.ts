<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AcquisitionTestWindow</name>
    <message>
        <source>Acquisition test</source>
        <translation>Prueba de adquisición</translation>
    </message>
    <message>
        <source>font-weight: bold;</source>
        <translation>font-weight: bold;</translation>
    </message>
    <message>
        <source>color: #c00000; font-weight: bold;</source>
        <translation>color: #c00000; font-weight: bold;</translation>
    </message>
    <message>
        <source>No link with the device</source>
        <translation>Sin conexión con el equipo</translation>
    </message>
    <message>
        <source>Battery: %1 V</source>
        <translation>Batería: %1 V</translation>
    </message>
    <message>
        <source>Electrodes off: %1</source>
        <translation>Electrodos desconectados: %1</translation>
    </message>
    <message>
        <source>All electrodes connected</source>
        <translation>Todos los electrodos conectados</translation>
    </message>
</context>
<context>
    <name>BPDialog</name>
    <message>
        <source>Enter BP</source>
        <translation>Introducir TA</translation>
    </message>
    <message>
        <source>SBP / DBP</source>
        <translation>TAS / TAD</translation>
    </message>
    <message>
        <source>Print this stage</source>
        <translation>Imprimir etapa</translation>
    </message>
    <message>
        <source>Stage: </source>
        <translation>Etapa: </translation>
    </message>
</context>
<context>
    <name>ConfigDialog</name>
    <message>
        <source>Configuration</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Report header</source>
        <translation>Encabezado del informe</translation>
    </message>
    <message>
        <source>Report signature</source>
        <translation>Firma del informe</translation>
    </message>
    <message>
        <source>Acquisition</source>
        <translation>Adquisición</translation>
    </message>
    <message>
        <source>Stress test</source>
        <translation>Prueba de esfuerzo</translation>
    </message>
    <message>
        <source>Export reports</source>
        <translation>Exportar informes</translation>
    </message>
    <message>
        <source>Export studies</source>
        <translation>Exportar estudios</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Equipos</translation>
    </message>
    <message>
        <source>font-weight: bold;</source>
        <translation>font-weight: bold;</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Título</translation>
    </message>
    <message>
        <source>Additional info</source>
        <translation>Información adicional</translation>
    </message>
    <message>
        <source>Logo</source>
        <translation>Logotipo</translation>
    </message>
    <message>
        <source>[none]</source>
        <translation>[ninguno]</translation>
    </message>
    <message>
        <source>Change...</source>
        <translation>Cambiar...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>License</source>
        <translation>N.º de colegiado</translation>
    </message>
    <message>
        <source>Signature image</source>
        <translation>Imagen de la firma</translation>
    </message>
    <message>
        <source>Acquisition mode</source>
        <translation>Modo de adquisición</translation>
    </message>
    <message>
        <source>Tarvelin ECG device (USB)</source>
        <translation>Electrocardiógrafo Tarvelin (USB)</translation>
    </message>
    <message>
        <source>Tarvelin ECG device (Bluetooth)</source>
        <translation>Electrocardiógrafo Tarvelin (Bluetooth)</translation>
    </message>
    <message>
        <source>Replay ECG file (demo)</source>
        <translation>Reproducir archivo de ECG (demostración)</translation>
    </message>
    <message>
        <source>Bluetooth port</source>
        <translation>Puerto Bluetooth</translation>
    </message>
    <message>
        <source>Detect</source>
        <translation>Detectar</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Probar</translation>
    </message>
    <message>
        <source>Ergometer workload units</source>
        <translation>Unidades de carga del cicloergómetro</translation>
    </message>
    <message>
        <source>Watts</source>
        <translation>Vatios</translation>
    </message>
    <message>
        <source>Kgm/min</source>
        <translation>Kgm/min</translation>
    </message>
    <message>
        <source>Ergometer control</source>
        <translation>Control del cicloergómetro</translation>
    </message>
    <message>
        <source>Equipment</source>
        <translation>Equipo</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Puerto</translation>
    </message>
    <message>
        <source>Treadmill control</source>
        <translation>Control de la cinta</translation>
    </message>
    <message>
        <source>Auto-export report files</source>
        <translation>Exportar automáticamente los informes</translation>
    </message>
    <message>
        <source>Reports are exported when saved as PDF files.</source>
        <translation>Los informes se exportan al guardarlos como archivos PDF.</translation>
    </message>
    <message>
        <source>ECG reports folder</source>
        <translation>Carpeta de informes de ECG</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Stress reports folder</source>
        <translation>Carpeta de informes de esfuerzo</translation>
    </message>
    <message>
        <source>Auto-export new studies</source>
        <translation>Exportar automáticamente los estudios nuevos</translation>
    </message>
    <message>
        <source>Studies are exported when recording is finished.</source>
        <translation>Los estudios se exportan al terminar el registro.</translation>
    </message>
    <message>
        <source>Stress studies folder</source>
        <translation>Carpeta de estudios de esfuerzo</translation>
    </message>
    <message>
        <source>ECG studies folder</source>
        <translation>Carpeta de estudios de ECG</translation>
    </message>
    <message>
        <source>Warning: for tech-support use only</source>
        <translation>Atención: solo para el servicio técnico</translation>
    </message>
    <message>
        <source>color: #c00000;</source>
        <translation>color: #c00000;</translation>
    </message>
    <message>
        <source>Low battery level</source>
        <translation>Nivel de batería baja</translation>
    </message>
    <message>
        <source> V</source>
        <translation> V</translation>
    </message>
    <message>
        <source>Signal gain</source>
        <translation>Ganancia de la señal</translation>
    </message>
    <message>
        <source>mV (+/- range)</source>
        <translation>mV (rango +/-)</translation>
    </message>
    <message>
        <source>HR protocol</source>
        <translation>Protocolo de FC</translation>
    </message>
    <message>
        <source>Restore defaults</source>
        <translation>Restaurar valores predeterminados</translation>
    </message>
    <message>
        <source>&lt;Manual&gt;</source>
        <translation>&lt;Manual&gt;</translation>
    </message>
    <message>
        <source>OLMO bicycle</source>
        <translation>Bicicleta OLMO</translation>
    </message>
    <message>
        <source>Kip Machines</source>
        <translation>Kip Machines</translation>
    </message>
    <message>
        <source>Open Image</source>
        <translation>Abrir imagen</translation>
    </message>
    <message>
        <source>Image Files (*.png *.jpg *.bmp)</source>
        <translation>Archivos de imagen (*.png *.jpg *.bmp)</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Advertencia</translation>
    </message>
    <message>
        <source>Logo image could not be loaded from file: %1</source>
        <translation>No se pudo cargar la imagen del logotipo del archivo: %1</translation>
    </message>
    <message>
        <source>Signature image could not be loaded from file: %1</source>
        <translation>No se pudo cargar la imagen de la firma del archivo: %1</translation>
    </message>
    <message>
        <source>Please wait...</source>
        <translation>Espere, por favor...</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Make sure that the device has been paired and is turned on.
Press &lt;OK&gt; to continue.</source>
        <translation>Compruebe que el equipo está emparejado y encendido.
Pulse &lt;Aceptar&gt; para continuar.</translation>
    </message>
    <message>
        <source>No device found.
Please make sure that the device is paired and turned on.</source>
        <translation>No se encontró ningún equipo.
Compruebe que el equipo está emparejado y encendido.</translation>
    </message>
    <message>
        <source>There is more than one device in range.
Please make sure that only one device is turned on and try again.</source>
        <translation>Hay más de un equipo al alcance.
Compruebe que solo hay un equipo encendido y vuelva a intentarlo.</translation>
    </message>
    <message>
        <source>Select shared folder</source>
        <translation>Seleccionar carpeta compartida</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>DisplayColorScheme</name>
    <message>
        <source>Light</source>
        <translation>Claro</translation>
    </message>
    <message>
        <source>Blue</source>
        <translation>Azul</translation>
    </message>
    <message>
        <source>Black</source>
        <translation>Negro</translation>
    </message>
</context>
<context>
    <name>EcgMonitorWindow</name>
    <message>
        <source>Resting ECG</source>
        <translation>ECG de reposo</translation>
    </message>
    <message>
        <source>Patient name</source>
        <translation>Nombre del paciente</translation>
    </message>
    <message>
        <source>Line notch filter</source>
        <translation>Filtro de red</translation>
    </message>
    <message>
        <source>NF</source>
        <translation>FR</translation>
    </message>
    <message>
        <source>Muscle noise filter</source>
        <translation>Filtro muscular</translation>
    </message>
    <message>
        <source>MF</source>
        <translation>FM</translation>
    </message>
    <message>
        <source>Baseline filter</source>
        <translation>Filtro de línea de base</translation>
    </message>
    <message>
        <source>BF</source>
        <translation>FB</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>12.5</source>
        <translation>12.5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>25</source>
        <translation>25</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Start recording (F5)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Iniciar registro (F5)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Start recording</source>
        <translation>Iniciar registro</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Stop recording (F6)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Detener registro (F6)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Stop recording</source>
        <translation>Detener registro</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Repeat recording: discards what was recorded (Ctrl+F7)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Repetir registro: descarta lo registrado (Ctrl+F7)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Repeat recording</source>
        <translation>Repetir registro</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Save recording and close (Ctrl+S)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Guardar registro y cerrar (Ctrl+S)&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Save recording</source>
        <translation>Guardar registro</translation>
    </message>
    <message>
        <source>0:10</source>
        <translation>0:10</translation>
    </message>
    <message>
        <source>Ready to record</source>
        <translation>Listo para registrar</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>bpm</source>
        <translation>lpm</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Recording...</source>
        <translation>Registrando...</translation>
    </message>
    <message>
        <source>Recorded %1 s</source>
        <translation>Registrados %1 s</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>The recording was not saved. Discard it?</source>
        <translation>El registro no se ha guardado. ¿Descartarlo?</translation>
    </message>
</context>
<context>
    <name>EcgReviewWindow</name>
    <message>
        <source>Resting ECG review</source>
        <translation>Revisión de ECG de reposo</translation>
    </message>
    <message>
        <source>Line notch filter</source>
        <translation>Filtro de red</translation>
    </message>
    <message>
        <source>NF</source>
        <translation>FR</translation>
    </message>
    <message>
        <source>Muscle noise filter</source>
        <translation>Filtro muscular</translation>
    </message>
    <message>
        <source>MF</source>
        <translation>FM</translation>
    </message>
    <message>
        <source>Baseline filter</source>
        <translation>Filtro de línea de base</translation>
    </message>
    <message>
        <source>BF</source>
        <translation>FB</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>12.5</source>
        <translation>12.5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>25</source>
        <translation>25</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>Previous page</source>
        <translation>Página anterior</translation>
    </message>
    <message>
        <source>&lt;&lt;</source>
        <translation>&lt;&lt;</translation>
    </message>
    <message>
        <source>Next page</source>
        <translation>Página siguiente</translation>
    </message>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Edit the study data</source>
        <translation>Editar los datos del estudio</translation>
    </message>
    <message>
        <source>Study data</source>
        <translation>Datos del estudio</translation>
    </message>
    <message>
        <source>Print or save the report</source>
        <translation>Imprimir o guardar el informe</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Informe</translation>
    </message>
    <message>
        <source>Measurements</source>
        <translation>Medidas</translation>
    </message>
    <message>
        <source>Measurement lead</source>
        <translation>Deriv. de medida</translation>
    </message>
    <message>
        <source>All leads</source>
        <translation>Todas</translation>
    </message>
    <message>
        <source>Show the average beat of every lead</source>
        <translation>Mostrar el latido promedio de cada derivación</translation>
    </message>
    <message>
        <source>Auto measurement</source>
        <translation>Medida automática</translation>
    </message>
    <message>
        <source>Return the markers to the computed measurement</source>
        <translation>Devolver las marcas a la medida calculada</translation>
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
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Descripción</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Add an event at the position shown (Insert)</source>
        <translation>Añadir un evento en la posición mostrada (Insert)</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Remove the selected event (Delete)</source>
        <translation>Quitar el evento seleccionado (Supr)</translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation>Conclusión</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Add a phrase</source>
        <translation>Añadir una frase</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Remove the phrase</source>
        <translation>Quitar la frase</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Move the phrase up</source>
        <translation>Subir la frase</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Bajar</translation>
    </message>
    <message>
        <source>Move the phrase down</source>
        <translation>Bajar la frase</translation>
    </message>
    <message>
        <source>Sort alphabetically</source>
        <translation>Ordenar alfabéticamente</translation>
    </message>
    <message>
        <source>Drag a marker, or choose one with Up and Down and move it with Left and Right (Shift: 5 samples)</source>
        <translation>Arrastre una marca, o elija una con Arriba y Abajo y muévala con Izquierda y Derecha (Mayús: 5 muestras)</translation>
    </message>
    <message>
        <source>P amplitude (mV)</source>
        <translation>Amplitud P (mV)</translation>
    </message>
    <message>
        <source>QRS amplitude (mV)</source>
        <translation>Amplitud QRS (mV)</translation>
    </message>
    <message>
        <source>T amplitude (mV)</source>
        <translation>Amplitud T (mV)</translation>
    </message>
    <message>
        <source>Global</source>
        <translation>Global</translation>
    </message>
    <message>
        <source>Lead %1</source>
        <translation>Derivación %1</translation>
    </message>
    <message>
        <source>Close without saving the changes?</source>
        <translation>¿Cerrar sin guardar los cambios?</translation>
    </message>
</context>
<context>
    <name>ElectrodeStatusWidget</name>
    <message>
        <source>Do not show again</source>
        <translation>No volver a mostrar</translation>
    </message>
</context>
<context>
    <name>ErrorGuard</name>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Unspecified application error</source>
        <translation>Error de aplicación no especificado</translation>
    </message>
</context>
<context>
    <name>EventListControls</name>
    <message>
        <source>Enter description</source>
        <translation>Introduzca la descripción</translation>
    </message>
</context>
<context>
    <name>ExerciseFindings</name>
    <message>
        <source>Target heart rate reached</source>
        <translation>Frecuencia cardiaca objetivo alcanzada</translation>
    </message>
    <message>
        <source>Fatigue</source>
        <translation>Cansancio</translation>
    </message>
    <message>
        <source>Dyspnoea</source>
        <translation>Disnea</translation>
    </message>
    <message>
        <source>Chest pain</source>
        <translation>Dolor torácico</translation>
    </message>
    <message>
        <source>ST changes</source>
        <translation>Cambios del ST</translation>
    </message>
    <message>
        <source>Arrhythmia</source>
        <translation>Arritmia</translation>
    </message>
    <message>
        <source>Blood-pressure response</source>
        <translation>Respuesta de la tensión arterial</translation>
    </message>
    <message>
        <source>Equipment</source>
        <translation>Fallo del equipo</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Otro</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Ninguna</translation>
    </message>
    <message>
        <source>Non-limiting</source>
        <translation>No limitante</translation>
    </message>
    <message>
        <source>Limiting</source>
        <translation>Limitante</translation>
    </message>
</context>
<context>
    <name>ExerciseScoreTexts</name>
    <message>
        <source>not available</source>
        <translation>no disponible</translation>
    </message>
    <message>
        <source>%1 bpm</source>
        <translation>%1 lpm</translation>
    </message>
    <message>
        <source>%1 of %2 predicted (%3%)</source>
        <translation>%1 de %2 teórica (%3%)</translation>
    </message>
</context>
<context>
    <name>LiveEcgPanels</name>
    <message>
        <source>Show leads</source>
        <translation>Mostrar derivaciones</translation>
    </message>
    <message>
        <source>Double panel</source>
        <translation>Panel doble</translation>
    </message>
    <message>
        <source>Hexaxial order</source>
        <translation>Orden hexaxial</translation>
    </message>
    <message>
        <source>Average beat</source>
        <translation>Latido promedio</translation>
    </message>
    <message>
        <source>Color scheme</source>
        <translation>Esquema de colores</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>New Stress Test</source>
        <translation>Nueva prueba de esfuerzo</translation>
    </message>
    <message>
        <source>Ctrl+1</source>
        <translation>Ctrl+1</translation>
    </message>
    <message>
        <source>New ECG</source>
        <translation>Nuevo ECG</translation>
    </message>
    <message>
        <source>Ctrl+2</source>
        <translation>Ctrl+2</translation>
    </message>
    <message>
        <source>Open study</source>
        <translation>Abrir estudio</translation>
    </message>
    <message>
        <source>Ctrl+3</source>
        <translation>Ctrl+3</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Ctrl+,</source>
        <translation>Ctrl+,</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Cerrar</translation>
    </message>
    <message>
        <source>Ctrl+Q</source>
        <translation>Ctrl+Q</translation>
    </message>
    <message>
        <source>Last name (s)</source>
        <translation>Apellidos</translation>
    </message>
    <message>
        <source>First name(s)</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protocolo</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>Hombre</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>Mujer</translation>
    </message>
    <message>
        <source>Patient ID</source>
        <translation>ID del paciente</translation>
    </message>
    <message>
        <source>More...</source>
        <translation>Más...</translation>
    </message>
    <message>
        <source>All patient and study data (F2)</source>
        <translation>Todos los datos del paciente y del estudio (F2)</translation>
    </message>
    <message>
        <source>Start</source>
        <translation>Comenzar</translation>
    </message>
    <message>
        <source>Start recording (Ctrl+Return)</source>
        <translation>Iniciar registro (Ctrl+Intro)</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Paciente</translation>
    </message>
    <message>
        <source>All stored studies (F2)</source>
        <translation>Todos los estudios guardados (F2)</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Open the selected study (Return)</source>
        <translation>Abrir el estudio seleccionado (Intro)</translation>
    </message>
    <message>
        <source>Study review is not available in this installation</source>
        <translation>La revisión de estudios no está disponible en esta instalación</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Advertencia</translation>
    </message>
    <message>
        <source>There is not enough free space on disk.
Please free at least 50 MB to start a new study.</source>
        <translation>No hay suficiente espacio libre en el disco.
Libere al menos 50 MB para comenzar un estudio nuevo.</translation>
    </message>
    <message>
        <source>Please wait...</source>
        <translation>Espere, por favor...</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Study file was succesfully exported to folder: %1</source>
        <translation>El archivo del estudio se exportó correctamente a la carpeta: %1</translation>
    </message>
    <message>
        <source>Study file could not be exported to folder: %1
Please check shared folder access with your network administrator.</source>
        <translation>No se pudo exportar el archivo del estudio a la carpeta: %1
Consulte el acceso a la carpeta compartida con el administrador de la red.</translation>
    </message>
    <message>
        <source>Study file not found</source>
        <translation>No se encontró el archivo del estudio</translation>
    </message>
    <message>
        <source>Study is already open for review</source>
        <translation>El estudio ya está abierto para revisión</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>MonitorIndicators</name>
    <message>
        <source>Simulated ECG</source>
        <translation>ECG simulado</translation>
    </message>
    <message>
        <source>Inoperative ECG</source>
        <translation>ECG inoperativo</translation>
    </message>
</context>
<context>
    <name>MonitorSession</name>
    <message>
        <source>Communication with ECG acquiring device failed.</source>
        <translation>Falló la comunicación con el equipo de adquisición del ECG.</translation>
    </message>
</context>
<context>
    <name>OpenStudyDialog</name>
    <message>
        <source>Select study</source>
        <translation>Seleccionar estudio</translation>
    </message>
    <message>
        <source>Find by name</source>
        <translation>Buscar por nombre</translation>
    </message>
    <message>
        <source>Shared folder:</source>
        <translation>Carpeta compartida:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Select shared folder</source>
        <translation>Seleccionar carpeta compartida</translation>
    </message>
    <message>
        <source>Show shared studies</source>
        <translation>Mostrar estudios compartidos</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Fecha</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Paciente</translation>
    </message>
    <message>
        <source>Study type</source>
        <translation>Tipo de estudio</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Informe</translation>
    </message>
    <message>
        <source>Show report</source>
        <translation>Ver informe</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Import...</source>
        <translation>Importar...</translation>
    </message>
    <message>
        <source>Export...</source>
        <translation>Exportar...</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Yes</source>
        <translation>Sí</translation>
    </message>
    <message>
        <source>Please wait...</source>
        <translation>Espere, por favor...</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Study file was succesfully exported to folder: %1</source>
        <translation>El archivo del estudio se exportó correctamente a la carpeta: %1</translation>
    </message>
    <message>
        <source>Delete selected studies from shared folder?</source>
        <translation>¿Eliminar los estudios seleccionados de la carpeta compartida?</translation>
    </message>
    <message>
        <source>Delete selected studies from local folder?</source>
        <translation>¿Eliminar los estudios seleccionados de la carpeta local?</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>Study is already open for review</source>
        <translation>El estudio ya está abierto para revisión</translation>
    </message>
    <message>
        <source>Cannot delete file: %1</source>
        <translation>No se puede eliminar el archivo: %1</translation>
    </message>
    <message>
        <source>Report file not found</source>
        <translation>No se encontró el archivo del informe</translation>
    </message>
    <message>
        <source>Hide shared studies</source>
        <translation>Ocultar estudios compartidos</translation>
    </message>
    <message>
        <source>Import study</source>
        <translation>Importar estudio</translation>
    </message>
    <message>
        <source>Study archives (*.hxz)</source>
        <translation>Archivos de estudio (*.hxz)</translation>
    </message>
    <message>
        <source>Stress test</source>
        <translation>Prueba de esfuerzo</translation>
    </message>
    <message>
        <source>ECG</source>
        <translation>ECG</translation>
    </message>
</context>
<context>
    <name>PhraseListControls</name>
    <message>
        <source>Enter conclusion</source>
        <translation>Introduzca la conclusión</translation>
    </message>
</context>
<context>
    <name>ProtocolDialog</name>
    <message>
        <source>Protocol edit</source>
        <translation>Edición del protocolo</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tipo</translation>
    </message>
    <message>
        <source>Treadmill</source>
        <translation>Cinta</translation>
    </message>
    <message>
        <source>Ergometer</source>
        <translation>Cicloergómetro</translation>
    </message>
    <message>
        <source>Pharmacologic</source>
        <translation>Farmacológico</translation>
    </message>
    <message>
        <source>Add stage</source>
        <translation>Añadir etapa</translation>
    </message>
    <message>
        <source>Rest</source>
        <translation>Reposo</translation>
    </message>
    <message>
        <source>Exercise</source>
        <translation>Ejercicio</translation>
    </message>
    <message>
        <source>Recovery</source>
        <translation>Recuperación</translation>
    </message>
    <message>
        <source>Append</source>
        <translation>Añadir al final</translation>
    </message>
    <message>
        <source>Insert</source>
        <translation>Insertar</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
</context>
<context>
    <name>ProtocolListDialog</name>
    <message>
        <source>Stress test protocols</source>
        <translation>Protocolos de prueba de esfuerzo</translation>
    </message>
    <message>
        <source>New...</source>
        <translation>Nuevo...</translation>
    </message>
    <message>
        <source>Edit...</source>
        <translation>Editar...</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Eliminar</translation>
    </message>
    <message>
        <source>Treadmill ramps</source>
        <translation>Rampas de cinta</translation>
    </message>
    <message>
        <source>New ramp...</source>
        <translation>Nueva rampa...</translation>
    </message>
    <message>
        <source>Edit ramp...</source>
        <translation>Editar rampa...</translation>
    </message>
    <message>
        <source>Delete ramp</source>
        <translation>Eliminar rampa</translation>
    </message>
    <message>
        <source>Confirm</source>
        <translation>Confirmar</translation>
    </message>
    <message>
        <source>Remove protocol %1?</source>
        <translation>¿Eliminar el protocolo %1?</translation>
    </message>
    <message>
        <source>Remove ramp %1?</source>
        <translation>¿Eliminar la rampa %1?</translation>
    </message>
</context>
<context>
    <name>ProtocolStageTable</name>
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
        <translation>Velocidad</translation>
    </message>
    <message>
        <source>Incline</source>
        <translation>Pendiente</translation>
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
        <source>Exercise %1</source>
        <translation>Ejercicio %1</translation>
    </message>
    <message>
        <source>Recovery %1</source>
        <translation>Recuperación %1</translation>
    </message>
    <message>
        <source>Rest %1</source>
        <translation>Reposo %1</translation>
    </message>
</context>
<context>
    <name>QBeatDisplay</name>
    <message>
        <source>P on</source>
        <translation>P inicio</translation>
    </message>
    <message>
        <source>P off</source>
        <translation>P fin</translation>
    </message>
    <message>
        <source>P peak</source>
        <translation>P pico</translation>
    </message>
    <message>
        <source>QRS on</source>
        <translation>QRS inicio</translation>
    </message>
    <message>
        <source>QRS off</source>
        <translation>QRS fin</translation>
    </message>
    <message>
        <source>T on</source>
        <translation>T inicio</translation>
    </message>
    <message>
        <source>T peak</source>
        <translation>T pico</translation>
    </message>
    <message>
        <source>T off</source>
        <translation>T fin</translation>
    </message>
</context>
<context>
    <name>QSignalMonitorDisplay</name>
    <message>
        <source>Baseline filter off</source>
        <translation>Filtro de línea base desactivado</translation>
    </message>
</context>
<context>
    <name>RampDialog</name>
    <message>
        <source>Ramp edit</source>
        <translation>Edición de la rampa</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>Gait</source>
        <translation>Marcha</translation>
    </message>
    <message>
        <source>Walking</source>
        <translation>Caminando</translation>
    </message>
    <message>
        <source>Running</source>
        <translation>Corriendo</translation>
    </message>
    <message>
        <source>Reference VO2</source>
        <translation>VO2 de referencia</translation>
    </message>
    <message>
        <source>Target VO2</source>
        <translation>VO2 objetivo</translation>
    </message>
    <message>
        <source>Reach the target by speed, on the level</source>
        <translation>Alcanzar el objetivo con la velocidad, sin pendiente</translation>
    </message>
    <message>
        <source>Initial speed</source>
        <translation>Velocidad inicial</translation>
    </message>
    <message>
        <source>Final speed</source>
        <translation>Velocidad final</translation>
    </message>
    <message>
        <source>Initial incline</source>
        <translation>Pendiente inicial</translation>
    </message>
    <message>
        <source>Final incline</source>
        <translation>Pendiente final</translation>
    </message>
    <message>
        <source>Speed increment</source>
        <translation>Incremento de velocidad</translation>
    </message>
    <message>
        <source>Incline increment</source>
        <translation>Incremento de pendiente</translation>
    </message>
    <message>
        <source>%1 km/h per minute</source>
        <translation>%1 km/h por minuto</translation>
    </message>
    <message>
        <source>%1 % per minute</source>
        <translation>%1 % por minuto</translation>
    </message>
</context>
<context>
    <name>ReportDialog</name>
    <message>
        <source>Report</source>
        <translation>Informe</translation>
    </message>
    <message>
        <source>Header</source>
        <translation>Encabezado</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Título</translation>
    </message>
    <message>
        <source>Additional info</source>
        <translation>Información adicional</translation>
    </message>
    <message>
        <source>Signature</source>
        <translation>Firma</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>License</source>
        <translation>N.º de colegiado</translation>
    </message>
    <message>
        <source>Signature image</source>
        <translation>Imagen de la firma</translation>
    </message>
    <message>
        <source>Change...</source>
        <translation>Cambiar...</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>ECG traces</source>
        <translation>Trazados de ECG</translation>
    </message>
    <message>
        <source>Layout</source>
        <translation>Formato</translation>
    </message>
    <message>
        <source>Rhythm lead</source>
        <translation>Derivación de ritmo</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Salida</translation>
    </message>
    <message>
        <source>PDF file in the reports folder</source>
        <translation>Archivo PDF en la carpeta de informes</translation>
    </message>
    <message>
        <source>Printer</source>
        <translation>Impresora</translation>
    </message>
    <message>
        <source>12 × 1</source>
        <translation>12 × 1</translation>
    </message>
    <message>
        <source>6 × 2</source>
        <translation>6 × 2</translation>
    </message>
    <message>
        <source>4 × 3 with rhythm strip</source>
        <translation>4 × 3 con tira de ritmo</translation>
    </message>
    <message>
        <source>Default printer</source>
        <translation>Impresora predeterminada</translation>
    </message>
    <message>
        <source>Generating the report...</source>
        <translation>Generando el informe...</translation>
    </message>
    <message>
        <source>Images (*.png *.jpg *.jpeg *.bmp)</source>
        <translation>Imágenes (*.png *.jpg *.jpeg *.bmp)</translation>
    </message>
</context>
<context>
    <name>RestingEcgMeasurements</name>
    <message>
        <source>HR (bpm)</source>
        <translation>FC (lpm)</translation>
    </message>
    <message>
        <source>PR (ms)</source>
        <translation>PR (ms)</translation>
    </message>
    <message>
        <source>P (ms)</source>
        <translation>P (ms)</translation>
    </message>
    <message>
        <source>QRS (ms)</source>
        <translation>QRS (ms)</translation>
    </message>
    <message>
        <source>QT (ms)</source>
        <translation>QT (ms)</translation>
    </message>
    <message>
        <source>QTc (ms)</source>
        <translation>QTc (ms)</translation>
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
</context>
<context>
    <name>ReviewDisplayMenu</name>
    <message>
        <source>Show leads</source>
        <translation>Mostrar derivaciones</translation>
    </message>
    <message>
        <source>Hexaxial order</source>
        <translation>Orden hexaxial</translation>
    </message>
    <message>
        <source>Average beat</source>
        <translation>Latido promedio</translation>
    </message>
    <message>
        <source>Color scheme</source>
        <translation>Esquema de colores</translation>
    </message>
</context>
<context>
    <name>ReviewTrendPlots</name>
    <message>
        <source>HR</source>
        <translation>FC</translation>
    </message>
    <message>
        <source>BP</source>
        <translation>TA</translation>
    </message>
    <message>
        <source>DP x1000</source>
        <translation>DP x1000</translation>
    </message>
    <message>
        <source>METS</source>
        <translation>METS</translation>
    </message>
    <message>
        <source>ST [%1]</source>
        <translation>ST [%1]</translation>
    </message>
</context>
<context>
    <name>ReviewWindows</name>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>RulerCheckDialog</name>
    <message>
        <source>Check the ECG scale</source>
        <translation>Comprobar la escala del ECG</translation>
    </message>
    <message>
        <source>This box should measure 50 mm. Measure its width on the screen with a ruler and enter what you find.</source>
        <translation>Este recuadro debería medir 50 mm. Mida su anchura en la pantalla con una regla e introduzca el valor.</translation>
    </message>
    <message>
        <source> mm</source>
        <translation> mm</translation>
    </message>
    <message>
        <source>Measured width:</source>
        <translation>Anchura medida:</translation>
    </message>
</context>
<context>
    <name>SerialAccessHint</name>
    <message>
        <source>You are not allowed to use %1. Serial ports belong to the group &quot;dialout&quot;: ask your administrator to add your user to it (sudo adduser USER dialout), then log out and in again.</source>
        <translation>No tiene permiso para usar %1. Los puertos serie pertenecen al grupo &quot;dialout&quot;: pida al administrador que añada su usuario a ese grupo (sudo adduser USUARIO dialout) y vuelva a iniciar la sesión.</translation>
    </message>
</context>
<context>
    <name>StagePrint</name>
    <message>
        <source>Stage print</source>
        <translation>Impresión de etapa</translation>
    </message>
</context>
<context>
    <name>Startup</name>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>%1 is already running</source>
        <translation>%1 ya se está ejecutando</translation>
    </message>
</context>
<context>
    <name>StressEvents</name>
    <message>
        <source>Rest</source>
        <translation>Reposo</translation>
    </message>
    <message>
        <source>Exercise</source>
        <translation>Ejercicio</translation>
    </message>
    <message>
        <source>Recovery</source>
        <translation>Recuperación</translation>
    </message>
    <message>
        <source>Dose %1</source>
        <translation>Dosis %1</translation>
    </message>
</context>
<context>
    <name>StressMonitorTexts</name>
    <message>
        <source>stage</source>
        <translation>etapa</translation>
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
        <translation>Velocidad</translation>
    </message>
    <message>
        <source>Incline</source>
        <translation>Pendiente</translation>
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
        <source>ST [%1]</source>
        <translation>ST [%1]</translation>
    </message>
    <message>
        <source>%1% max %2&lt;br/&gt;%3% sub %4</source>
        <translation>%1% máx. %2&lt;br/&gt;%3% submáx. %4</translation>
    </message>
</context>
<context>
    <name>StressMonitorWindow</name>
    <message>
        <source>MonitorWindow</source>
        <translation>Monitor</translation>
    </message>
    <message>
        <source>Patient name</source>
        <translation>Nombre del paciente</translation>
    </message>
    <message>
        <source>Line notch filter</source>
        <translation>Filtro de red</translation>
    </message>
    <message>
        <source>NF</source>
        <translation>FR</translation>
    </message>
    <message>
        <source>Muscle noise filter</source>
        <translation>Filtro muscular</translation>
    </message>
    <message>
        <source>MF</source>
        <translation>FM</translation>
    </message>
    <message>
        <source>Baseline filter</source>
        <translation>Filtro de línea de base</translation>
    </message>
    <message>
        <source>BF</source>
        <translation>FB</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>12.5</source>
        <translation>12.5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>25</source>
        <translation>25</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>Press &lt;Space&gt; to mark event</source>
        <translation>Pulse &lt;Espacio&gt; para marcar un evento</translation>
    </message>
    <message>
        <source>Save event</source>
        <translation>Guardar evento</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Start protocol&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Iniciar protocolo&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Next stage&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Etapa siguiente&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Recovery&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Recuperación&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Stop protocol&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Detener protocolo&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>0:00</source>
        <translation>0:00</translation>
    </message>
    <message>
        <source>0:00 total</source>
        <translation>0:00 total</translation>
    </message>
    <message>
        <source>/ 0:00 stage</source>
        <translation>/ 0:00 etapa</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>0% max
0% submax</source>
        <translation>0% máx.
0% submáx.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Protocol&lt;/b&gt; || Stage&lt;br/&gt;Speed / Incline</source>
        <translation>&lt;b&gt;Protocolo&lt;/b&gt; || Etapa&lt;br/&gt;Velocidad / Pendiente</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protocolo</translation>
    </message>
    <message>
        <source>Stage</source>
        <translation>Etapa</translation>
    </message>
    <message>
        <source>HR</source>
        <translation>FC</translation>
    </message>
    <message>
        <source>BP</source>
        <translation>TA</translation>
    </message>
    <message>
        <source>Enter BP</source>
        <translation>Introducir TA</translation>
    </message>
    <message>
        <source>F4</source>
        <translation>F4</translation>
    </message>
    <message>
        <source>Space</source>
        <translation>Space</translation>
    </message>
    <message>
        <source>Describe event and press &lt;Return&gt;</source>
        <translation>Describa el evento y pulse &lt;Intro&gt;</translation>
    </message>
    <message>
        <source>It no longer follows the protocol: set the load by hand.</source>
        <translation>Ya no sigue el protocolo: ajuste la carga a mano.</translation>
    </message>
</context>
<context>
    <name>StressReviewWindow</name>
    <message>
        <source>Stress test review</source>
        <translation>Revisión de la prueba de esfuerzo</translation>
    </message>
    <message>
        <source>Line notch filter</source>
        <translation>Filtro de red</translation>
    </message>
    <message>
        <source>NF</source>
        <translation>FR</translation>
    </message>
    <message>
        <source>Muscle noise filter</source>
        <translation>Filtro muscular</translation>
    </message>
    <message>
        <source>MF</source>
        <translation>FM</translation>
    </message>
    <message>
        <source>Baseline filter</source>
        <translation>Filtro de línea de base</translation>
    </message>
    <message>
        <source>BF</source>
        <translation>FB</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;12.5&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>12.5</source>
        <translation>12.5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;25&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>25</source>
        <translation>25</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Speed: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/sec&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Velocidad: &lt;span style=&quot; font-weight:600;&quot;&gt;50&lt;/span&gt; mm/s&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>50</source>
        <translation>50</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;5&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>5</source>
        <translation>5</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;10&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitude: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Amplitud: &lt;span style=&quot; font-weight:600;&quot;&gt;20&lt;/span&gt; mm/mV&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>20</source>
        <translation>20</translation>
    </message>
    <message>
        <source>Previous stage</source>
        <translation>Etapa anterior</translation>
    </message>
    <message>
        <source>&lt;&lt;</source>
        <translation>&lt;&lt;</translation>
    </message>
    <message>
        <source>Next stage</source>
        <translation>Etapa siguiente</translation>
    </message>
    <message>
        <source>&gt;&gt;</source>
        <translation>&gt;&gt;</translation>
    </message>
    <message>
        <source>Edit the study data</source>
        <translation>Editar los datos del estudio</translation>
    </message>
    <message>
        <source>Study data</source>
        <translation>Datos del estudio</translation>
    </message>
    <message>
        <source>Print or save the report</source>
        <translation>Imprimir o guardar el informe</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Informe</translation>
    </message>
    <message>
        <source>Echo</source>
        <translation>Eco</translation>
    </message>
    <message>
        <source>0:00</source>
        <translation>0:00</translation>
    </message>
    <message>
        <source>0:00 total</source>
        <translation>0:00 total</translation>
    </message>
    <message>
        <source>/ 0:00 stage</source>
        <translation>/ 0:00 etapa</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>0% max</source>
        <translation>0% máx.</translation>
    </message>
    <message>
        <source>&lt;b&gt;Protocol&lt;/b&gt; || Stage</source>
        <translation>&lt;b&gt;Protocolo&lt;/b&gt; || Etapa</translation>
    </message>
    <message>
        <source>ST</source>
        <translation>ST</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protocolo</translation>
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
        <source>Duration</source>
        <translation>Duración</translation>
    </message>
    <message>
        <source>Description</source>
        <translation>Descripción</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Añadir</translation>
    </message>
    <message>
        <source>Add an event at the position shown (Insert)</source>
        <translation>Añadir un evento en la posición mostrada (Insert)</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Quitar</translation>
    </message>
    <message>
        <source>Remove the selected event (Delete)</source>
        <translation>Quitar el evento seleccionado (Supr)</translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation>Conclusión</translation>
    </message>
    <message>
        <source>+</source>
        <translation>+</translation>
    </message>
    <message>
        <source>Add a phrase</source>
        <translation>Añadir una frase</translation>
    </message>
    <message>
        <source>-</source>
        <translation>-</translation>
    </message>
    <message>
        <source>Remove the phrase</source>
        <translation>Quitar la frase</translation>
    </message>
    <message>
        <source>Up</source>
        <translation>Subir</translation>
    </message>
    <message>
        <source>Move the phrase up</source>
        <translation>Subir la frase</translation>
    </message>
    <message>
        <source>Down</source>
        <translation>Bajar</translation>
    </message>
    <message>
        <source>Move the phrase down</source>
        <translation>Bajar la frase</translation>
    </message>
    <message>
        <source>Sort alphabetically</source>
        <translation>Ordenar alfabéticamente</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Hallazgos</translation>
    </message>
    <message>
        <source>Reason for stopping</source>
        <translation>Motivo de finalización</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Detalles</translation>
    </message>
    <message>
        <source>Angina</source>
        <translation>Angina</translation>
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
        <source>ST lead</source>
        <translation>Derivación del ST</translation>
    </message>
    <message>
        <source>Show graphics</source>
        <translation>Mostrar gráficas</translation>
    </message>
    <message>
        <source>Close without saving the changes?</source>
        <translation>¿Cerrar sin guardar los cambios?</translation>
    </message>
</context>
<context>
    <name>StressRun</name>
    <message>
        <source>Communication with ergometer/treadmill device failed.</source>
        <translation>Falló la comunicación con el cicloergómetro o la cinta.</translation>
    </message>
</context>
<context>
    <name>StudyDialog</name>
    <message>
        <source>Study data</source>
        <translation>Datos del estudio</translation>
    </message>
    <message>
        <source>Patient</source>
        <translation>Paciente</translation>
    </message>
    <message>
        <source>Risk factors</source>
        <translation>Factores de riesgo</translation>
    </message>
    <message>
        <source>Study info</source>
        <translation>Datos del estudio</translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation>Protocolo</translation>
    </message>
    <message>
        <source>First name(s)</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Last name(s)</source>
        <translation>Apellidos</translation>
    </message>
    <message>
        <source>Sex</source>
        <translation>Sexo</translation>
    </message>
    <message>
        <source>Male</source>
        <translation>Hombre</translation>
    </message>
    <message>
        <source>Female</source>
        <translation>Mujer</translation>
    </message>
    <message>
        <source>Birth date</source>
        <translation>Fecha de nacimiento</translation>
    </message>
    <message>
        <source>day/month/year</source>
        <translation>día/mes/año</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Edad</translation>
    </message>
    <message>
        <source>Weight (Kg)</source>
        <translation>Peso (kg)</translation>
    </message>
    <message>
        <source>Height (cm)</source>
        <translation>Talla (cm)</translation>
    </message>
    <message>
        <source>BMI</source>
        <translation>IMC</translation>
    </message>
    <message>
        <source>ID type</source>
        <translation>Tipo de documento</translation>
    </message>
    <message>
        <source>ID number</source>
        <translation>N.º de documento</translation>
    </message>
    <message>
        <source>Medical insurance</source>
        <translation>Aseguradora</translation>
    </message>
    <message>
        <source>Medical insurance number</source>
        <translation>N.º de afiliación</translation>
    </message>
    <message>
        <source>Patient ID / Medical record</source>
        <translation>ID / Historia clínica</translation>
    </message>
    <message>
        <source>Phone number</source>
        <translation>Teléfono</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Dirección</translation>
    </message>
    <message>
        <source>City</source>
        <translation>Localidad</translation>
    </message>
    <message>
        <source>State</source>
        <translation>Provincia</translation>
    </message>
    <message>
        <source>Repeat patient</source>
        <translation>Repetir paciente</translation>
    </message>
    <message>
        <source>Factor</source>
        <translation>Factor</translation>
    </message>
    <message>
        <source>Comments...</source>
        <translation>Comentarios...</translation>
    </message>
    <message>
        <source>Date/time</source>
        <translation>Fecha/hora</translation>
    </message>
    <message>
        <source>Technician name</source>
        <translation>Técnico</translation>
    </message>
    <message>
        <source>Doctor name</source>
        <translation>Médico</translation>
    </message>
    <message>
        <source>Referred by</source>
        <translation>Remitido por</translation>
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
        <source>Comments</source>
        <translation>Comentarios</translation>
    </message>
    <message>
        <source>Protocols...</source>
        <translation>Protocolos...</translation>
    </message>
    <message>
        <source>Training zone</source>
        <translation>Zona de entrenamiento</translation>
    </message>
    <message>
        <source>HR max.</source>
        <translation>FC máx.</translation>
    </message>
    <message>
        <source>HR submax.</source>
        <translation>FC submáx.</translation>
    </message>
    <message>
        <source>Submax %</source>
        <translation>% submáx.</translation>
    </message>
    <message>
        <source>New ECG study</source>
        <translation>Nuevo estudio de ECG</translation>
    </message>
    <message>
        <source>New Stress Test study</source>
        <translation>Nuevo estudio de prueba de esfuerzo</translation>
    </message>
</context>
<context>
    <name>StudyRecorder</name>
    <message>
        <source>the recording file is not open for writing</source>
        <translation>el archivo del registro no está abierto para escritura</translation>
    </message>
    <message>
        <source>Recording to disk failed</source>
        <translation>Falló la grabación en el disco</translation>
    </message>
    <message>
        <source>the previous recording could not be removed</source>
        <translation>no se pudo eliminar el registro anterior</translation>
    </message>
</context>
</TS>
