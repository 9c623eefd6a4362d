<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>MainWindow</name>
    <message>
        <source>TRACE+STEP</source>
        <translation>TRACE+STEP</translation>
    </message>
    <message>
        <source>Exercise stress tests and resting ECGs</source>
        <translation>Pruebas de esfuerzo y ECG de reposo</translation>
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
    <name>BPDialog</name>
    <message>
        <source>Enter BP</source>
        <translation>Introducir PA</translation>
    </message>
    <message>
        <source>SBP / DBP</source>
        <translation>PAS / PAD</translation>
    </message>
    <message>
        <source>Print this stage</source>
        <translation>Imprimir esta etapa</translation>
    </message>
    <message>
        <source>Stage: </source>
        <translation>Etapa: </translation>
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
    <name>QSignalMonitorDisplay</name>
    <message>
        <source>Baseline filter off</source>
        <translation>Filtro de línea base desactivado</translation>
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
</TS>
