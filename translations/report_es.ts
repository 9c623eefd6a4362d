<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>ReportPdf</name>
    <message>
        <location filename="../reports/ReportPdf.cpp" line="14"/>
        <source>Report file could not be generated at:

%1

Please check disk space, folder access and antivirus software.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>StressReportData</name>
    <message>
        <location filename="../reports/StressReportData.cpp" line="34"/>
        <source>Treadmill</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../reports/StressReportData.cpp" line="35"/>
        <source>Ergometer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../reports/StressReportData.cpp" line="36"/>
        <source>Resting ECG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../reports/StressReportData.cpp" line="37"/>
        <source>Tilt test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <location filename="../reports/StressReportData.cpp" line="38"/>
        <source>Pharmacologic</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ReportTemplate</name>
    <message>
        <source>Page [pageNumber] of [pageCount]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exercise stress test</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Patient</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Name</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ID</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sex</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Age</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Birth date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>History no.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Weight (kg)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Height (cm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Study</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Study date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Study no.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Physician</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Referred by</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Technician</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Institution</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Indication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Medication</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Risk factors</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Protocol</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Type</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Exercise time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stages</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Stage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Duration</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Speed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Incline</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Workload</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Dose</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>METS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SBP/DBP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>DP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ST [[V5]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>∆ST [[V5]</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum values</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum HR</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[maxHR] bpm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Of predicted maximum</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[maxHRPercent] % of [predictedMaxHR] bpm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum METS</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum VO2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[maxVO2] ml/kg/min</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum BP</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>[maxSysBP]/[maxDiaBP] mmHg</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Maximum double product</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Conclusion</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Trends</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>HR (bpm)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SBP (mmHg)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ST V5 (mV)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Average beats at rest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Average beats at peak exercise (rest average in the background)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ST level (mm) and slope (mm/s) per lead</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lead</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ST rest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ST peak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ST recovery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slope rest</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slope peak</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Slope recovery</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Event at [event/time]: [event/description]</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
