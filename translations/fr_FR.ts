<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="fr_FR">
<context>
    <name>Alarm</name>
    <message>
        <source>Communication lost</source>
        <translation>Communication perdue</translation>
    </message>
    <message>
        <source>Communication established</source>
        <translation>Communication établie</translation>
    </message>
    <message>
        <source>Input voltage fault</source>
        <translation>Défaut de tension d'entrée</translation>
    </message>
    <message>
        <source>Input voltage returns to normal</source>
        <translation>Tension d'entrée revenue à la normale</translation>
    </message>
    <message>
        <source>Battery voltage low</source>
        <translation>Tension de batterie faible</translation>
    </message>
    <message>
        <source>Battery voltage returns to normal</source>
        <translation>Tension de batterie revenue à la normale</translation>
    </message>
    <message>
        <source>Bypass supply</source>
        <translation>Alimentation par bypass</translation>
    </message>
    <message>
        <source>Rectifier supply</source>
        <translation>Alimentation par redresseur</translation>
    </message>
    <message>
        <source>UPS fault</source>
        <translation>Défaut de l'onduleur</translation>
    </message>
    <message>
        <source>UPS returns to normal</source>
        <translation>Onduleur revenu à la normale</translation>
    </message>
    <message>
        <source>UPS backup</source>
        <translation>Onduleur sur batterie</translation>
    </message>
    <message>
        <source>UPS online</source>
        <translation>Onduleur en ligne</translation>
    </message>
    <message>
        <source>In self-test</source>
        <translation>Autotest en cours</translation>
    </message>
    <message>
        <source>Self-test finished</source>
        <translation>Autotest terminé</translation>
    </message>
    <message>
        <source>In power off</source>
        <translation>Arrêt en cours</translation>
    </message>
    <message>
        <source>UPS returns from power off</source>
        <translation>Onduleur remis en marche</translation>
    </message>
    <message>
        <source>Buzzer open</source>
        <translation>Alarme sonore activée</translation>
    </message>
    <message>
        <source>Buzzer silent</source>
        <translation>Alarme sonore coupée</translation>
    </message>
    <message>
        <source>Boost or buck activated</source>
        <translation>Élévation ou abaissement de tension activé</translation>
    </message>
    <message>
        <source>UPS returns from boost or buck</source>
        <translation>Fin de l'élévation ou de l'abaissement de tension</translation>
    </message>
    <message>
        <source>On boost</source>
        <translation>Élévation de tension</translation>
    </message>
    <message>
        <source>On Buck</source>
        <translation>Abaissement de tension</translation>
    </message>
    <message>
        <source>Input phase sequence error</source>
        <translation>Erreur d'ordre des phases en entrée</translation>
    </message>
    <message>
        <source>Input voltage high</source>
        <translation>Tension d'entrée élevée</translation>
    </message>
    <message>
        <source>Input voltage low</source>
        <translation>Tension d'entrée faible</translation>
    </message>
    <message>
        <source>Input voltage abnormal</source>
        <translation>Tension d'entrée anormale</translation>
    </message>
    <message>
        <source>Input N missing</source>
        <translation>Neutre d'entrée absent</translation>
    </message>
    <message>
        <source>Input frequency abnormal</source>
        <translation>Fréquence d'entrée anormale</translation>
    </message>
    <message>
        <source>+DC bus over voltage</source>
        <translation>Surtension du bus CC +</translation>
    </message>
    <message>
        <source>-DC bus over voltage</source>
        <translation>Surtension du bus CC -</translation>
    </message>
    <message>
        <source>DC bus OV HW CKT</source>
        <translation>Protection matérielle de surtension du bus CC</translation>
    </message>
    <message>
        <source>DC Bus over voltage</source>
        <translation>Surtension du bus CC</translation>
    </message>
    <message>
        <source>+DC bus low voltage(output on)</source>
        <translation>Sous-tension du bus CC + (sortie active)</translation>
    </message>
    <message>
        <source>-DC bus low voltage(output on)</source>
        <translation>Sous-tension du bus CC - (sortie active)</translation>
    </message>
    <message>
        <source>+DC bus voltage low(output off)</source>
        <translation>Sous-tension du bus CC + (sortie coupée)</translation>
    </message>
    <message>
        <source>-DC bus voltage low(output off)</source>
        <translation>Sous-tension du bus CC - (sortie coupée)</translation>
    </message>
    <message>
        <source>DC bus voltage low</source>
        <translation>Tension du bus CC faible</translation>
    </message>
    <message>
        <source>DC bus delta</source>
        <translation>Déséquilibre du bus CC</translation>
    </message>
    <message>
        <source>DC bus delta(line)</source>
        <translation>Déséquilibre du bus CC (secteur)</translation>
    </message>
    <message>
        <source>DC bus delta(on battery)</source>
        <translation>Déséquilibre du bus CC (sur batterie)</translation>
    </message>
    <message>
        <source>+DC bus soft start fail(line)</source>
        <translation>Échec du démarrage progressif du bus CC + (secteur)</translation>
    </message>
    <message>
        <source>-DC Bus soft start fail(Line)</source>
        <translation>Échec du démarrage progressif du bus CC - (secteur)</translation>
    </message>
    <message>
        <source>+DC bus soft start fail(battery)</source>
        <translation>Échec du démarrage progressif du bus CC + (batterie)</translation>
    </message>
    <message>
        <source>-DC bus soft start fail(battery)</source>
        <translation>Échec du démarrage progressif du bus CC - (batterie)</translation>
    </message>
    <message>
        <source>+DC bus discharge fail</source>
        <translation>Échec de la décharge du bus CC +</translation>
    </message>
    <message>
        <source>-DC bus discharge fail</source>
        <translation>Échec de la décharge du bus CC -</translation>
    </message>
    <message>
        <source>Rectifier fault</source>
        <translation>Défaut du redresseur</translation>
    </message>
    <message>
        <source>Rectifier over current</source>
        <translation>Surintensité du redresseur</translation>
    </message>
    <message>
        <source>Inverter output low</source>
        <translation>Sortie de l'étage onduleur trop basse</translation>
    </message>
    <message>
        <source>Inverter output high</source>
        <translation>Sortie de l'étage onduleur trop haute</translation>
    </message>
    <message>
        <source>Inverter hardware CKT</source>
        <translation>Protection matérielle de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter fault</source>
        <translation>Défaut de l'étage onduleur</translation>
    </message>
    <message>
        <source>Output relay weld close</source>
        <translation>Relais de sortie collé fermé</translation>
    </message>
    <message>
        <source>Output relay weld open</source>
        <translation>Relais de sortie bloqué ouvert</translation>
    </message>
    <message>
        <source>Inverter overload</source>
        <translation>Surcharge de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter overload time out</source>
        <translation>Délai de surcharge de l'étage onduleur dépassé</translation>
    </message>
    <message>
        <source>Inverter DC over voltage</source>
        <translation>Surtension CC de l'étage onduleur</translation>
    </message>
    <message>
        <source>Output meas mismatch</source>
        <translation>Incohérence des mesures de sortie</translation>
    </message>
    <message>
        <source>Inverter soft start fail</source>
        <translation>Échec du démarrage progressif de l'étage onduleur</translation>
    </message>
    <message>
        <source>Soft start fail</source>
        <translation>Échec du démarrage progressif</translation>
    </message>
    <message>
        <source>Output short circuit</source>
        <translation>Court-circuit en sortie</translation>
    </message>
    <message>
        <source>Output over voltage</source>
        <translation>Surtension en sortie</translation>
    </message>
    <message>
        <source>Output severe over voltage</source>
        <translation>Forte surtension en sortie</translation>
    </message>
    <message>
        <source>Output low voltage</source>
        <translation>Sous-tension en sortie</translation>
    </message>
    <message>
        <source>Output overload</source>
        <translation>Surcharge en sortie</translation>
    </message>
    <message>
        <source>Battery reversed connection</source>
        <translation>Batterie branchée à l'envers</translation>
    </message>
    <message>
        <source>+Battery over voltage</source>
        <translation>Surtension de la batterie +</translation>
    </message>
    <message>
        <source>-Battery over voltage</source>
        <translation>Surtension de la batterie -</translation>
    </message>
    <message>
        <source>+Battery disconnected</source>
        <translation>Batterie + déconnectée</translation>
    </message>
    <message>
        <source>-Battery disconnected</source>
        <translation>Batterie - déconnectée</translation>
    </message>
    <message>
        <source>+Battery low pre alarm</source>
        <translation>Pré-alarme batterie + faible</translation>
    </message>
    <message>
        <source>-Battery low pre alarm</source>
        <translation>Pré-alarme batterie - faible</translation>
    </message>
    <message>
        <source>+Battery low voltage</source>
        <translation>Sous-tension de la batterie +</translation>
    </message>
    <message>
        <source>-Battery low voltage</source>
        <translation>Sous-tension de la batterie -</translation>
    </message>
    <message>
        <source>RBC needs replacement</source>
        <translation>Batterie à remplacer</translation>
    </message>
    <message>
        <source>+Charger error</source>
        <translation>Erreur du chargeur +</translation>
    </message>
    <message>
        <source>-Charger error</source>
        <translation>Erreur du chargeur -</translation>
    </message>
    <message>
        <source>+Charger over voltage</source>
        <translation>Surtension du chargeur +</translation>
    </message>
    <message>
        <source>-Charger over voltage</source>
        <translation>Surtension du chargeur -</translation>
    </message>
    <message>
        <source>+Charger low voltage</source>
        <translation>Sous-tension du chargeur +</translation>
    </message>
    <message>
        <source>-Charger low voltage</source>
        <translation>Sous-tension du chargeur -</translation>
    </message>
    <message>
        <source>Charger meas mismatch</source>
        <translation>Incohérence des mesures du chargeur</translation>
    </message>
    <message>
        <source>Bypass phase sequence error</source>
        <translation>Erreur d'ordre des phases du bypass</translation>
    </message>
    <message>
        <source>Bypass over current</source>
        <translation>Surintensité du bypass</translation>
    </message>
    <message>
        <source>Bypass voltage abnormal</source>
        <translation>Tension du bypass anormale</translation>
    </message>
    <message>
        <source>Bypass frequency abnormal</source>
        <translation>Fréquence du bypass anormale</translation>
    </message>
    <message>
        <source>Bypass overload</source>
        <translation>Surcharge du bypass</translation>
    </message>
    <message>
        <source>Bypass overload time out</source>
        <translation>Délai de surcharge du bypass dépassé</translation>
    </message>
    <message>
        <source>PDU activated</source>
        <translation>PDU activée</translation>
    </message>
    <message>
        <source>Bypass not available</source>
        <translation>Bypass indisponible</translation>
    </message>
    <message>
        <source>Bypass unable to trace</source>
        <translation>Bypass impossible à suivre</translation>
    </message>
    <message>
        <source>Battery over temperature critical</source>
        <translation>Température de batterie critique</translation>
    </message>
    <message>
        <source>Battery low temperature</source>
        <translation>Température de batterie basse</translation>
    </message>
    <message>
        <source>Battery over temperature(&gt;50℃ charging)</source>
        <translation>Surchauffe de la batterie (&gt;50℃ en charge)</translation>
    </message>
    <message>
        <source>Battery temp sensor disconnected</source>
        <translation>Sonde de température de batterie déconnectée</translation>
    </message>
    <message>
        <source>Fan inoperative</source>
        <translation>Ventilateur hors service</translation>
    </message>
    <message>
        <source>Fan logic power supply fault</source>
        <translation>Défaut de l'alimentation logique du ventilateur</translation>
    </message>
    <message>
        <source>Fuse blown</source>
        <translation>Fusible grillé</translation>
    </message>
    <message>
        <source>Heat sink 1 over temperature</source>
        <translation>Surchauffe du dissipateur 1</translation>
    </message>
    <message>
        <source>Heat sink 2 over temperature</source>
        <translation>Surchauffe du dissipateur 2</translation>
    </message>
    <message>
        <source>Inverter over temperature</source>
        <translation>Surchauffe de l'étage onduleur</translation>
    </message>
    <message>
        <source>Ambient over temperature</source>
        <translation>Température ambiante trop haute</translation>
    </message>
    <message>
        <source>Ambient low temperature</source>
        <translation>Température ambiante trop basse</translation>
    </message>
    <message>
        <source>Bypass SCR/relay short circuit</source>
        <translation>Court-circuit du SCR/relais de bypass</translation>
    </message>
    <message>
        <source>Bypass SCR/relay open circuit</source>
        <translation>Circuit ouvert du SCR/relais de bypass</translation>
    </message>
    <message>
        <source>Bkfeed relay weld close</source>
        <translation>Relais de retour collé fermé</translation>
    </message>
    <message>
        <source>Bkfeed relay weld open</source>
        <translation>Relais de retour bloqué ouvert</translation>
    </message>
    <message>
        <source>Logic power supply error</source>
        <translation>Erreur de l'alimentation logique</translation>
    </message>
    <message>
        <source>EEPROM fault</source>
        <translation>Défaut de l'EEPROM</translation>
    </message>
    <message>
        <source>RAM error</source>
        <translation>Erreur de RAM</translation>
    </message>
    <message>
        <source>Parallel communication error</source>
        <translation>Erreur de communication parallèle</translation>
    </message>
    <message>
        <source>Internal communication error</source>
        <translation>Erreur de communication interne</translation>
    </message>
    <message>
        <source>CPLD fault</source>
        <translation>Défaut du CPLD</translation>
    </message>
    <message>
        <source>MCU reseted</source>
        <translation>MCU réinitialisé</translation>
    </message>
    <message>
        <source>Bkfeed relay locked</source>
        <translation>Relais de retour verrouillé</translation>
    </message>
    <message>
        <source>BMS communication error</source>
        <translation>Erreur de communication BMS</translation>
    </message>
    <message>
        <source>Parallel relay error</source>
        <translation>Erreur du relais parallèle</translation>
    </message>
    <message>
        <source>Parallel connect error</source>
        <translation>Erreur de connexion parallèle</translation>
    </message>
    <message>
        <source>Parallel current sharing error</source>
        <translation>Erreur de partage du courant en parallèle</translation>
    </message>
    <message>
        <source>Parallel overload</source>
        <translation>Surcharge en parallèle</translation>
    </message>
    <message>
        <source>Button error</source>
        <translation>Erreur de bouton</translation>
    </message>
    <message>
        <source>EPO activated</source>
        <translation>Arrêt d'urgence (EPO) activé</translation>
    </message>
    <message>
        <source>Firmware mismatch</source>
        <translation>Micrologiciel incompatible</translation>
    </message>
    <message>
        <source>Firmware upgrading</source>
        <translation>Mise à jour du micrologiciel</translation>
    </message>
    <message>
        <source>AVR is running too long</source>
        <translation>AVR actif depuis trop longtemps</translation>
    </message>
    <message>
        <source>AVR time is up</source>
        <translation>Durée AVR écoulée</translation>
    </message>
    <message>
        <source>Battery load time is too long</source>
        <translation>Durée sur batterie trop longue</translation>
    </message>
    <message>
        <source>Rectifier over temperature</source>
        <translation>Surchauffe du redresseur</translation>
    </message>
    <message>
        <source>Rectifier parallel signal error</source>
        <translation>Erreur du signal parallèle du redresseur</translation>
    </message>
    <message>
        <source>Rectifier logic power supply error</source>
        <translation>Erreur de l'alimentation logique du redresseur</translation>
    </message>
    <message>
        <source>Input SCR inoperable</source>
        <translation>SCR d'entrée hors service</translation>
    </message>
    <message>
        <source>Discharge SCR error</source>
        <translation>Erreur du SCR de décharge</translation>
    </message>
    <message>
        <source>Charge SCR error</source>
        <translation>Erreur du SCR de charge</translation>
    </message>
    <message>
        <source>Fan inoperable</source>
        <translation>Ventilateur hors service</translation>
    </message>
    <message>
        <source>Fan power supply error</source>
        <translation>Erreur d'alimentation du ventilateur</translation>
    </message>
    <message>
        <source>Charger over temperature</source>
        <translation>Surchauffe du chargeur</translation>
    </message>
    <message>
        <source>Rectifier DC bus soft start error</source>
        <translation>Erreur de démarrage progressif du bus CC du redresseur</translation>
    </message>
    <message>
        <source>Charger fault</source>
        <translation>Défaut du chargeur</translation>
    </message>
    <message>
        <source>PFC communication fault</source>
        <translation>Défaut de communication PFC</translation>
    </message>
    <message>
        <source>Rectifier initializing fault</source>
        <translation>Défaut d'initialisation du redresseur</translation>
    </message>
    <message>
        <source>Rectifier power block not connected</source>
        <translation>Module de puissance du redresseur non connecté</translation>
    </message>
    <message>
        <source>Battery charging over voltage</source>
        <translation>Surtension de charge de la batterie</translation>
    </message>
    <message>
        <source>Rectifier CPLD clock source fault</source>
        <translation>Défaut de l'horloge CPLD du redresseur</translation>
    </message>
    <message>
        <source>Charger over current</source>
        <translation>Surintensité du chargeur</translation>
    </message>
    <message>
        <source>Inverter IGBT short circuit</source>
        <translation>Court-circuit IGBT de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter relay short circuit</source>
        <translation>Court-circuit du relais de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter relay broken</source>
        <translation>Relais de l'étage onduleur défectueux</translation>
    </message>
    <message>
        <source>Inverter parallel signal fault</source>
        <translation>Défaut du signal parallèle de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter communication fault</source>
        <translation>Défaut de communication de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter initializing fault</source>
        <translation>Défaut d'initialisation de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter self-test error</source>
        <translation>Erreur d'autotest de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter DC offset over voltage</source>
        <translation>Surtension de décalage CC de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter DC bus abnormal</source>
        <translation>Bus CC de l'étage onduleur anormal</translation>
    </message>
    <message>
        <source>Inverter PM not connected</source>
        <translation>Module de puissance de l'étage onduleur non connecté</translation>
    </message>
    <message>
        <source>Inverter APS fault</source>
        <translation>Défaut de l'alimentation auxiliaire de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter load sharing error</source>
        <translation>Erreur de partage de charge de l'étage onduleur</translation>
    </message>
    <message>
        <source>Inverter parallel wire connection error</source>
        <translation>Erreur de câblage parallèle de l'étage onduleur</translation>
    </message>
    <message>
        <source>UPS mode incorrect</source>
        <translation>Mode de l'onduleur incorrect</translation>
    </message>
    <message>
        <source>Inverter fuse blown</source>
        <translation>Fusible de l'étage onduleur grillé</translation>
    </message>
    <message>
        <source>Inverter CPLD clock source fault</source>
        <translation>Défaut de l'horloge CPLD de l'étage onduleur</translation>
    </message>
    <message>
        <source>Bypass SCR short circuit</source>
        <translation>Court-circuit du SCR de bypass</translation>
    </message>
    <message>
        <source>Bypass SCR broken</source>
        <translation>SCR de bypass défectueux</translation>
    </message>
    <message>
        <source>Backfeed on bypass</source>
        <translation>Retour de courant sur le bypass</translation>
    </message>
    <message>
        <source>Input wire error</source>
        <translation>Erreur de câblage en entrée</translation>
    </message>
    <message>
        <source>Input N missing detection</source>
        <translation>Absence du neutre d'entrée détectée</translation>
    </message>
    <message>
        <source>Battery over voltage</source>
        <translation>Surtension de la batterie</translation>
    </message>
    <message>
        <source>Battery EOD warning</source>
        <translation>Avertissement de fin de décharge de la batterie</translation>
    </message>
    <message>
        <source>Battery reversed</source>
        <translation>Batterie inversée</translation>
    </message>
    <message>
        <source>Battery EOD</source>
        <translation>Fin de décharge de la batterie</translation>
    </message>
    <message>
        <source>No battery</source>
        <translation>Pas de batterie</translation>
    </message>
    <message>
        <source>Input Reversed</source>
        <translation>Entrée inversée</translation>
    </message>
    <message>
        <source>Input frequency out of tol.</source>
        <translation>Fréquence d'entrée hors tolérance</translation>
    </message>
    <message>
        <source>Input voltage out of tol.</source>
        <translation>Tension d'entrée hors tolérance</translation>
    </message>
    <message>
        <source>PFC communication abnormal</source>
        <translation>Communication PFC anormale</translation>
    </message>
    <message>
        <source>Input unavailable</source>
        <translation>Entrée indisponible</translation>
    </message>
    <message>
        <source>Rectifier setting incorrect</source>
        <translation>Réglage du redresseur incorrect</translation>
    </message>
    <message>
        <source>Mains unable to trace in 1:1 mode</source>
        <translation>Secteur impossible à suivre en mode 1:1</translation>
    </message>
    <message>
        <source>Mains relay short circuit</source>
        <translation>Court-circuit du relais secteur</translation>
    </message>
    <message>
        <source>Mains relay broken</source>
        <translation>Relais secteur défectueux</translation>
    </message>
    <message>
        <source>Inverter parallel signal abnormal</source>
        <translation>Signal parallèle de l'étage onduleur anormal</translation>
    </message>
    <message>
        <source>Inverter out of sync.</source>
        <translation>Étage onduleur désynchronisé</translation>
    </message>
    <message>
        <source>Output abnormal</source>
        <translation>Sortie anormale</translation>
    </message>
    <message>
        <source>Inverter communication abnormal</source>
        <translation>Communication de l'étage onduleur anormale</translation>
    </message>
    <message>
        <source>Inverter setting incorrect</source>
        <translation>Réglage de l'étage onduleur incorrect</translation>
    </message>
    <message>
        <source>Bypass input relay short circuit</source>
        <translation>Court-circuit du relais d'entrée du bypass</translation>
    </message>
    <message>
        <source>Bypass input relay broken</source>
        <translation>Relais d'entrée du bypass défectueux</translation>
    </message>
    <message>
        <source>Bypass unavailable</source>
        <translation>Bypass indisponible</translation>
    </message>
    <message>
        <source>Bypass switch too frequent</source>
        <translation>Basculements sur bypass trop fréquents</translation>
    </message>
    <message>
        <source>Bypass reversed</source>
        <translation>Bypass inversé</translation>
    </message>
    <message>
        <source>Battery self-test error</source>
        <translation>Erreur d'autotest de la batterie</translation>
    </message>
    <message>
        <source>No battery temperature sensor</source>
        <translation>Pas de sonde de température de batterie</translation>
    </message>
    <message>
        <source>Battery over temperature</source>
        <translation>Surchauffe de la batterie</translation>
    </message>
    <message>
        <source>Monitor EEPROM error</source>
        <translation>Erreur de l'EEPROM de supervision</translation>
    </message>
    <message>
        <source>Parallel CAN abnormal</source>
        <translation>Bus CAN parallèle anormal</translation>
    </message>
    <message>
        <source>Ambient temperature &gt;40℃ or &lt; -20℃</source>
        <translation>Température ambiante &gt;40℃ ou &lt; -20℃</translation>
    </message>
    <message>
        <source>Battery temperature low</source>
        <translation>Température de batterie basse</translation>
    </message>
    <message>
        <source>Need to check battery</source>
        <translation>Vérifier la batterie</translation>
    </message>
    <message>
        <source>Returned from: </source>
        <translation>Fin de : </translation>
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation>Compte à rebours d'arrêt annulé</translation>
    </message>
    <message>
        <source>UPS output-off cancelled</source>
        <translation>Arrêt de la sortie de l'onduleur annulé</translation>
    </message>
</context>
<context>
    <name>BatteryAge</name>
    <message>
        <source>Battery replacement due</source>
        <translation>Remplacement de la batterie à prévoir</translation>
    </message>
    <message>
        <source>The UPS battery was installed on %1 and is due for replacement since %2. An old battery may not carry the computer through the next mains failure.</source>
        <translation>La batterie de l'onduleur a été installée le %1 et doit être remplacée depuis le %2. Une batterie usée risque de ne pas alimenter l'ordinateur lors de la prochaine coupure secteur.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Show this help and end.</source>
        <translation>Affiche cette aide et termine.</translation>
    </message>
    <message>
        <source>Show the version and end.</source>
        <translation>Affiche la version et termine.</translation>
    </message>
    <message>
        <source>Run without the window and the tray: monitoring, alarms, samples, the shutdown countdown, mail and scheduled tasks go on. Log lines also go to standard error.</source>
        <translation>Fonctionne sans fenêtre ni icône de notification : la surveillance, les alarmes, les mesures, le compte à rebours d'arrêt, les courriels et les tâches planifiées continuent. Le journal est aussi écrit sur la sortie d'erreur standard.</translation>
    </message>
    <message>
        <source>Keep settings, history and logs in DIR (the same as the environment variable QUELTA_HOME).</source>
        <translation>Conserve les réglages, l'historique et les journaux dans DIR (comme la variable d'environnement QUELTA_HOME).</translation>
    </message>
    <message>
        <source>Unexpected argument '%1'.</source>
        <translation>Argument inattendu « %1 ».</translation>
    </message>
    <message>
        <source>--home needs a folder.</source>
        <translation>--home attend un dossier.</translation>
    </message>
    <message>
        <source>Manage the accounts of the network server and end: 'add NAME --role monitor|admin' (the password is read from standard input), 'remove NAME' or 'list'. This works while the program runs on the same folder; it takes the change at once.</source>
        <translation>Gère les comptes du serveur réseau et termine : « add NOM --role monitor|admin » (le mot de passe est lu sur l'entrée standard), « remove NOM » ou « list ». Fonctionne aussi pendant que le programme tourne sur le même dossier ; il prend la modification en compte aussitôt.</translation>
    </message>
    <message>
        <source>The role of an account added with --nut-user: monitor or admin.</source>
        <translation>Le rôle d'un compte ajouté avec --nut-user : monitor ou admin.</translation>
    </message>
    <message>
        <source>--role goes with --nut-user add.</source>
        <translation>--role s'emploie avec --nut-user add.</translation>
    </message>
    <message>
        <source>--json goes with status.</source>
        <translation>--json s'emploie avec status.</translation>
    </message>
    <message>
        <source>With status: the state as one JSON document.</source>
        <translation>Avec status : l'état en un seul document JSON.</translation>
    </message>
    <message>
        <source>Try '%1 --help' for the options.</source>
        <translation>Essayez « %1 --help » pour voir les options.</translation>
    </message>
    <message>
        <source>Instead of running, one of:
config list: every setting with its value;
config get KEY: one setting's value;
config set KEY VALUE: change a setting;
config set-password KEY: a password (the SMTP login's, the network link's) from the first line of standard input;
config check: each problem of the settings file with its line; exit status 0 when there is none, 2 when there are;
status: the state of the UPS of the running program; exit status 0 on mains, 1 on battery, 2 battery low, a fault or the output off, 3 no UPS or no program.
A running program takes a changed setting at once.</source>
        <translation>Au lieu de fonctionner, l'une des commandes :
config list : chaque réglage avec sa valeur ;
config get CLÉ : la valeur d'un réglage ;
config set CLÉ VALEUR : modifie un réglage ;
config set-password CLÉ : un mot de passe (celui de la connexion SMTP, celui du lien réseau) lu sur la première ligne de l'entrée standard ;
config check : chaque problème du fichier de réglages avec sa ligne ; code de sortie 0 s'il n'y en a aucun, 2 s'il y en a ;
status : l'état de l'onduleur du programme en marche ; code de sortie 0 sur secteur, 1 sur batterie, 2 batterie faible, un défaut ou la sortie coupée, 3 aucun onduleur ou aucun programme.
Un programme en marche prend aussitôt en compte un réglage modifié.</translation>
    </message>
    <message>
        <source>Watches UPSes and shuts the computer down in order when the power fails.</source>
        <translation>Surveille des onduleurs et arrête l'ordinateur proprement en cas de coupure de courant.</translation>
    </message>
</context>
<context>
    <name>ConfigCommand</name>
    <message>
        <source>(set)</source>
        <translation>(défini)</translation>
    </message>
    <message>
        <source>Cannot read %1: %2.</source>
        <translation>Impossible de lire %1 : %2.</translation>
    </message>
    <message>
        <source>There is no setting %1; config list shows them all.</source>
        <translation>Il n'existe pas de réglage %1 ; config list les affiche tous.</translation>
    </message>
    <message>
        <source>Cannot write %1.</source>
        <translation>Impossible d'écrire %1.</translation>
    </message>
    <message>
        <source>%1 is no password; set it with config set.</source>
        <translation>%1 n'est pas un mot de passe ; définissez-le avec config set.</translation>
    </message>
    <message>
        <source>Password %1 cleared.</source>
        <translation>Mot de passe %1 effacé.</translation>
    </message>
    <message>
        <source>Password %1 set.</source>
        <translation>Mot de passe %1 défini.</translation>
    </message>
    <message>
        <source>%1 is a password: set it with config set-password %1, which reads it from standard input.</source>
        <translation>%1 est un mot de passe : définissez-le avec config set-password %1, qui le lit sur l'entrée standard.</translation>
    </message>
    <message>
        <source>%1 takes %2, not '%3'.</source>
        <translation>%1 attend %2, pas « %3 ».</translation>
    </message>
    <message>
        <source>The settings file %1 does not read whole; nothing is written to it. Repair it: 'config check' lists the problems; edit the file, or put back an earlier copy of it.</source>
        <translation>Le fichier de réglages %1 ne se lit pas en entier ; rien n'y est écrit. Réparez-le : 'config check' en liste les problèmes ; corrigez le fichier, ou remettez-en une copie antérieure.</translation>
    </message>
    <message>
        <source>Use config list, config get KEY, config set KEY VALUE, config set-password KEY or config check.</source>
        <translation>Utilisez config list, config get CLÉ, config set CLÉ VALEUR, config set-password CLÉ ou config check.</translation>
    </message>
    <message>
        <source>There is no settings file %1 yet; the defaults are in force.</source>
        <translation>Il n'y a pas encore de fichier de réglages %1 ; les valeurs par défaut s'appliquent.</translation>
    </message>
    <message>
        <source>%1 reads whole; every value is one its setting takes.</source>
        <translation>%1 se lit en entier ; chaque valeur est acceptée par son réglage.</translation>
    </message>
    <message>
        <source>%1 does not read whole: a line that does not read shows its default; 'config check' lists the problems.</source>
        <translation>%1 ne se lit pas en entier : une ligne illisible montre sa valeur par défaut ; 'config check' en liste les problèmes.</translation>
    </message>
    <message>
        <source>A password is %1 characters at most.</source>
        <translation>Un mot de passe compte %1 caractères au plus.</translation>
    </message>
    <message>
        <source>A password is a line of text without control characters.</source>
        <translation>Un mot de passe est une ligne de texte sans caractères de contrôle.</translation>
    </message>
</context>
<context>
    <name>DevComm</name>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
</context>
<context>
    <name>DevDataChartPage</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>Tension d'entrée (V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>Tension de sortie (V)</translation>
    </message>
</context>
<context>
    <name>DevDataDialPage</name>
    <message>
        <source>UPS Load</source>
        <translation>Charge de l'onduleur</translation>
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation>Capacité de la batterie</translation>
    </message>
</context>
<context>
    <name>DevDataInfoPage</name>
    <message>
        <source>UPS Manufacturer:</source>
        <translation>Fabricant de l'onduleur :</translation>
    </message>
    <message>
        <source>UPS Model:</source>
        <translation>Modèle de l'onduleur :</translation>
    </message>
    <message>
        <source>UPS Version:</source>
        <translation>Version de l'onduleur :</translation>
    </message>
    <message>
        <source>UPS SN:</source>
        <translation>N° de série de l'onduleur :</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>Santé de la batterie</translation>
    </message>
</context>
<context>
    <name>DevDataItemPage</name>
    <message>
        <source>Input Voltage</source>
        <translation>Tension d'entrée</translation>
    </message>
    <message>
        <source>Output Voltage</source>
        <translation>Tension de sortie</translation>
    </message>
    <message>
        <source>Input Frequncy</source>
        <translation>Fréquence d'entrée</translation>
    </message>
    <message>
        <source>UPS Load</source>
        <translation>Charge de l'onduleur</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Température</translation>
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation>Tension de batterie</translation>
    </message>
</context>
<context>
    <name>DevDataMimicPage</name>
    <message>
        <source>On Bypass</source>
        <translation>Sur bypass</translation>
    </message>
    <message>
        <source>On Mains</source>
        <translation>Sur secteur</translation>
    </message>
    <message>
        <source>UPS</source>
        <translation>ASI</translation>
    </message>
    <message>
        <source>AC IN</source>
        <translation>ENTRÉE CA</translation>
    </message>
    <message>
        <source>AC/DC</source>
        <translation>CA/CC</translation>
    </message>
    <message>
        <source>DC/AC</source>
        <translation>CC/CA</translation>
    </message>
    <message>
        <source>AC OUT</source>
        <translation>SORTIE CA</translation>
    </message>
    <message>
        <source>BATT</source>
        <translation>BATT</translation>
    </message>
    <message>
        <source>Boost or buck</source>
        <translation>Élévation ou abaissement</translation>
    </message>
</context>
<context>
    <name>DevStatusView</name>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation>L'onduleur indique %1 · mesuré %2</translation>
    </message>
    <message>
        <source>measured %1</source>
        <translation>mesuré %1</translation>
    </message>
</context>
<context>
    <name>HistoryChartView</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>Tension d'entrée (V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>Tension de sortie (V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>Charge de l'onduleur (%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Tension de batterie (V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>Température (℃)</translation>
    </message>
</context>
<context>
    <name>HistoryNotice</name>
    <message>
        <source>the database file is damaged</source>
        <translation>le fichier de base de données est endommagé</translation>
    </message>
    <message>
        <source>the database file or its folder is read-only</source>
        <translation>le fichier de base de données ou son dossier est en lecture seule</translation>
    </message>
    <message>
        <source>its tables are not the ones this program makes</source>
        <translation>ses tables ne sont pas celles que crée ce programme</translation>
    </message>
    <message>
        <source>the disk is full</source>
        <translation>le disque est plein</translation>
    </message>
    <message>
        <source>the database file cannot be opened</source>
        <translation>le fichier de base de données ne peut pas être ouvert</translation>
    </message>
    <message>
        <source>the SQLite driver is missing</source>
        <translation>le pilote SQLite est absent</translation>
    </message>
    <message>
        <source>the database reports an error</source>
        <translation>la base de données signale une erreur</translation>
    </message>
    <message>
        <source>History cannot be stored: %1. The database file is left as it is: %2</source>
        <translation>L'historique ne peut pas être enregistré : %1. Le fichier de base de données est laissé tel quel : %2</translation>
    </message>
</context>
<context>
    <name>ListModelNutUser</name>
    <message>
        <source>Choose a role: monitor or admin.</source>
        <translation>Choisissez un rôle : monitor ou admin.</translation>
    </message>
    <message>
        <source>An account of this name exists already.</source>
        <translation>Un compte de ce nom existe déjà.</translation>
    </message>
    <message>
        <source>This account no longer exists.</source>
        <translation>Ce compte n'existe plus.</translation>
    </message>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation>Un nom compte de 1 à 32 lettres, chiffres, points, tirets ou tirets bas.</translation>
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>Un mot de passe compte de 1 à 64 caractères, sans espace, guillemet, barre oblique inverse ni #.</translation>
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation>Le fichier de configuration n'a pas pu être écrit.</translation>
    </message>
</context>
<context>
    <name>LogAlarmDataForm.ui</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
</context>
<context>
    <name>LogChart</name>
    <message>
        <source>Input Voltage(V)</source>
        <translation>Tension d'entrée (V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>Tension de sortie (V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>Charge de l'onduleur (%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Tension de batterie (V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>Température (℃)</translation>
    </message>
    <message>
        <source>%1 samples</source>
        <translation>%1 mesures</translation>
    </message>
    <message>
        <source>No samples were stored on these days.</source>
        <translation>Aucune mesure n'a été enregistrée ces jours-là.</translation>
    </message>
</context>
<context>
    <name>LogClosedRecordsForm.ui</name>
    <message>
        <source>Application</source>
        <translation>Application</translation>
    </message>
    <message>
        <source>Window</source>
        <translation>Fenêtre</translation>
    </message>
</context>
<context>
    <name>LogDevDataForm.ui</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>Tension d'entrée (V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>Tension de sortie (V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>Charge de l'onduleur (%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>Fréquence d'entrée (Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Tension de batterie (V)</translation>
    </message>
    <message>
        <source>temperature(℃ )</source>
        <translation>Température (℃)</translation>
    </message>
</context>
<context>
    <name>LogHealth</name>
    <message>
        <source>Now %1 % of what its first discharges showed</source>
        <translation>Actuellement %1 % de ce que montraient ses premières décharges</translation>
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation>Sous %1 % : prévoyez le remplacement de la batterie.</translation>
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation>Devrait passer sous %1 % vers le %2</translation>
    </message>
    <message>
        <source>Battery health(%)</source>
        <translation>Santé de la batterie(%)</translation>
    </message>
    <message>
        <source>Trend</source>
        <translation>Tendance</translation>
    </message>
    <message>
        <source>Worn below %1 %</source>
        <translation>Usée sous %1 %</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Health (%)</source>
        <translation>Santé (%)</translation>
    </message>
    <message>
        <source>Load (%)</source>
        <translation>Charge (%)</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>The stored discharges cannot be read.</source>
        <translation>Les décharges enregistrées ne peuvent pas être lues.</translation>
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation>La santé de la batterie se mesure à partir des premières décharges assez complètes : une coupure secteur ou un autotest qui vide une batterie chargée jusqu'à batterie faible. Aucune n'est encore enregistrée.</translation>
    </message>
</context>
<context>
    <name>LogSelfTest</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Load(%)</source>
        <translation>Charge (%)</translation>
    </message>
    <message>
        <source>Battery Capacity(%)</source>
        <translation>Capacité de la batterie (%)</translation>
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation>Chute de tension batterie (V)</translation>
    </message>
    <message>
        <source>Result</source>
        <translation>Résultat</translation>
    </message>
</context>
<context>
    <name>MainDevDataForm.ui</name>
    <message>
        <source>Mimic</source>
        <translation>Synoptique</translation>
    </message>
    <message>
        <source>Dial</source>
        <translation>Cadrans</translation>
    </message>
    <message>
        <source>Data</source>
        <translation>Données</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Courbes</translation>
    </message>
    <message>
        <source>Info.</source>
        <translation>Infos</translation>
    </message>
</context>
<context>
    <name>MainDevInfo</name>
    <message>
        <source>Normal</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>Conneted</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Déconnecté</translation>
    </message>
    <message>
        <source>Fault</source>
        <translation>Défaut</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Faible</translation>
    </message>
    <message>
        <source>On Battery</source>
        <translation>Sur batterie</translation>
    </message>
    <message>
        <source>On Bypass</source>
        <translation>Sur bypass</translation>
    </message>
    <message>
        <source>On Mains</source>
        <translation>Sur secteur</translation>
    </message>
    <message>
        <source>In progress</source>
        <translation>En cours</translation>
    </message>
    <message>
        <source>No</source>
        <translation>Non</translation>
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation>Coupure de la sortie dans</translation>
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>Compte à rebours avant arrêt du système</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>Annuler l'arrêt</translation>
    </message>
    <message>
        <source>Cancel output off</source>
        <translation>Annuler la coupure</translation>
    </message>
    <message>
        <source>Boost or buck</source>
        <translation>Élévation ou abaissement</translation>
    </message>
    <message>
        <source>Countdown, Nothing Set to Happen at Its End</source>
        <translation>Compte à rebours, rien n'est prévu à sa fin</translation>
    </message>
</context>
<context>
    <name>MainDevInfoForm.ui</name>
    <message>
        <source>Battery Remaining Time</source>
        <translation>Autonomie restante</translation>
    </message>
    <message>
        <source>UPS Communication</source>
        <translation>Communication onduleur</translation>
    </message>
    <message>
        <source>Input Status</source>
        <translation>État de l'entrée</translation>
    </message>
    <message>
        <source>Battery Voltage</source>
        <translation>Tension de batterie</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>Défaut onduleur</translation>
    </message>
    <message>
        <source>Work Status</source>
        <translation>État de fonctionnement</translation>
    </message>
    <message>
        <source>UPS Self-Test</source>
        <translation>Autotest de l'onduleur</translation>
    </message>
</context>
<context>
    <name>MainFooterMenuForm.ui</name>
    <message>
        <source>Device</source>
        <translation>Appareil</translation>
    </message>
    <message>
        <source>Schedule Task</source>
        <translation>Tâches planifiées</translation>
    </message>
    <message>
        <source>UPS Control</source>
        <translation>Commande de l'onduleur</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Vue d'ensemble</translation>
    </message>
</context>
<context>
    <name>MainPanelControl</name>
    <message>
        <source>Order has been issued!</source>
        <translation>La commande a été envoyée !</translation>
    </message>
    <message>
        <source>The UPS output switches off in about 12 seconds: this computer and everything else on the UPS lose power.</source>
        <translation>La sortie de l'onduleur se coupe dans environ 12 secondes : cet ordinateur et tout ce qui est branché sur l'onduleur perdent l'alimentation.</translation>
    </message>
    <message>
        <source>The UPS output switches off in %1 minute(s): this computer and everything else on the UPS lose power.</source>
        <translation>La sortie de l'onduleur se coupe dans %1 minute(s) : cet ordinateur et tout ce qui est branché sur l'onduleur perdent l'alimentation.</translation>
    </message>
    <message>
        <source>The UPS runs on its battery until the battery is low. Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation>L'onduleur fonctionne sur batterie jusqu'à ce qu'elle soit faible. Tant qu'elle n'est pas rechargée, il risque de ne pas alimenter cet ordinateur pendant une coupure secteur.</translation>
    </message>
    <message>
        <source>The UPS runs on its battery for %1 minute(s). Until it has charged again, it may not carry this computer through a mains failure.</source>
        <translation>L'onduleur fonctionne sur batterie pendant %1 minute(s). Tant qu'elle n'est pas rechargée, il risque de ne pas alimenter cet ordinateur pendant une coupure secteur.</translation>
    </message>
    <message>
        <source>Issue the order?</source>
        <translation>Envoyer la commande ?</translation>
    </message>
</context>
<context>
    <name>MainPanelControlForm.ui</name>
    <message>
        <source>UPS Control</source>
        <translation>Commande de l'onduleur</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>Autotest de l'onduleur pendant 10 s</translation>
    </message>
    <message>
        <source>UPS Self-test to EOD</source>
        <translation>Autotest de l'onduleur jusqu'à fin de décharge</translation>
    </message>
    <message>
        <source>UPS Self-test for(1~99)</source>
        <translation>Autotest de l'onduleur pendant (1~99)</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>Annuler l'autotest de l'onduleur</translation>
    </message>
    <message>
        <source>UPS close output in(0~9)</source>
        <translation>Couper la sortie de l'onduleur dans (0~9)</translation>
    </message>
    <message>
        <source>Cancel UPS close output</source>
        <translation>Annuler la coupure de la sortie</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>Activer/couper l'alarme sonore</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation>minute(s)</translation>
    </message>
    <message>
        <source>minute(s); 0 is about 12 seconds</source>
        <translation>minute(s) ; 0 correspond à environ 12 secondes</translation>
    </message>
</context>
<context>
    <name>MainPanelLogData</name>
    <message>
        <source>Operation failed!</source>
        <translation>L'opération a échoué !</translation>
    </message>
    <message>
        <source>Operation finished!</source>
        <translation>Opération terminée !</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Enregistrer sous...</translation>
    </message>
    <message>
        <source>Excel files (*.xlsx)</source>
        <translation>Fichiers Excel (*.xlsx)</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>Enregistré sous %1</translation>
    </message>
    <message>
        <source>The start date is after the end date.</source>
        <translation>La date de début est après la date de fin.</translation>
    </message>
    <message>
        <source>This computer's UPS</source>
        <translation>Cet ordinateur</translation>
    </message>
</context>
<context>
    <name>MainPanelLogDataForm.ui</name>
    <message>
        <source>Data</source>
        <translation>Données</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>Closed Records</source>
        <translation>Fermetures</translation>
    </message>
    <message>
        <source>Self-test</source>
        <translation>Autotest</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>Date Start:</source>
        <translation>Date de début :</translation>
    </message>
    <message>
        <source>Date End:</source>
        <translation>Date de fin :</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Courbes</translation>
    </message>
    <message>
        <source>UPS</source>
        <translation>Onduleur</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>Santé de la batterie</translation>
    </message>
</context>
<context>
    <name>MainPanelOverview</name>
    <message>
        <source>Back to the overview</source>
        <translation>Retour à la vue d'ensemble</translation>
    </message>
    <message>
        <source>This computer</source>
        <translation>Cet ordinateur</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>Autotest de l'onduleur pendant 10 s</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>Annuler l'autotest de l'onduleur</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>Activer/couper l'alarme sonore</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTask</name>
    <message>
        <source>Are you sure to delete this task?</source>
        <translation>Voulez-vous vraiment supprimer cette tâche ?</translation>
    </message>
</context>
<context>
    <name>MainPanelScheduleTaskForm.ui</name>
    <message>
        <source>Schedule Task</source>
        <translation>Tâches planifiées</translation>
    </message>
    <message>
        <source>Add Task</source>
        <translation>Ajouter une tâche</translation>
    </message>
    <message>
        <source>No task yet. A task runs a UPS self-test, switches the UPS on, or shuts this computer and the UPS down at a time you choose, once or every day, week or month. Click "Add Task" to make one.</source>
        <translation>Aucune tâche pour l'instant. Une tâche lance un autotest de l'onduleur, met l'onduleur en marche, ou arrête cet ordinateur et l'onduleur à l'heure choisie, une fois ou chaque jour, semaine ou mois. Cliquez sur « Ajouter une tâche » pour en créer une.</translation>
    </message>
</context>
<context>
    <name>MainPanelSettings</name>
    <message>
        <source>Common Parameters</source>
        <translation>Paramètres généraux</translation>
    </message>
    <message>
        <source>E-Mail</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Shutdown</source>
        <translation>Arrêt</translation>
    </message>
    <message>
        <source>Network Sharing</source>
        <translation>Partage réseau</translation>
    </message>
    <message>
        <source>Watched UPSes</source>
        <translation>Onduleurs surveillés</translation>
    </message>
</context>
<context>
    <name>MsgDialog</name>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>NumberField</name>
    <message>
        <source>The marked number must be from %1 to %2; %3 stays in force.</source>
        <translation>Le nombre signalé doit être compris entre %1 et %2 ; %3 reste en vigueur.</translation>
    </message>
</context>
<context>
    <name>NutLink</name>
    <message>
        <source>The UPS server refused the command %1: %2</source>
        <translation>Le serveur d'onduleur a refusé la commande %1 : %2</translation>
    </message>
    <message>
        <source>The UPS server is not connected.</source>
        <translation>Le serveur d'onduleur n'est pas connecté.</translation>
    </message>
    <message>
        <source>The UPS server does not offer %1 for this UPS.</source>
        <translation>Le serveur d'onduleur n'offre pas %1 pour cet onduleur.</translation>
    </message>
</context>
<context>
    <name>NutUserCommand</name>
    <message>
        <source>A name is 1 to 32 letters, digits, dots, dashes or underscores.</source>
        <translation>Un nom compte de 1 à 32 lettres, chiffres, points, tirets ou tirets bas.</translation>
    </message>
    <message>
        <source>A password is 1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>Un mot de passe compte de 1 à 64 caractères, sans espace, guillemet, barre oblique inverse ni #.</translation>
    </message>
    <message>
        <source>There is no account %1.</source>
        <translation>Il n'existe pas de compte %1.</translation>
    </message>
    <message>
        <source>The configuration file could not be written.</source>
        <translation>Le fichier de configuration n'a pas pu être écrit.</translation>
    </message>
    <message>
        <source>--nut-user list takes no name.</source>
        <translation>--nut-user list ne prend pas de nom.</translation>
    </message>
    <message>
        <source>Use --nut-user add NAME --role monitor|admin, --nut-user remove NAME or --nut-user list.</source>
        <translation>Utilisez --nut-user add NOM --role monitor|admin, --nut-user remove NOM ou --nut-user list.</translation>
    </message>
    <message>
        <source>Account %1 removed.</source>
        <translation>Compte %1 supprimé.</translation>
    </message>
    <message>
        <source>--nut-user add needs --role monitor or --role admin.</source>
        <translation>--nut-user add demande --role monitor ou --role admin.</translation>
    </message>
    <message>
        <source>Account %1 changed (%2).</source>
        <translation>Compte %1 modifié (%2).</translation>
    </message>
    <message>
        <source>Account %1 added (%2).</source>
        <translation>Compte %1 ajouté (%2).</translation>
    </message>
</context>
<context>
    <name>PopupAddEMailUser</name>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation>L'adresse e-mail n'est pas valide !</translation>
    </message>
</context>
<context>
    <name>PopupAddEMailUserForm.ui</name>
    <message>
        <source>E-Mail Receiver:</source>
        <translation>Destinataire :</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PopupAddScheduleTask</name>
    <message>
        <source>Add Schedule Task</source>
        <translation>Ajouter une tâche planifiée</translation>
    </message>
    <message>
        <source>Modify Schedule Task</source>
        <translation>Modifier la tâche planifiée</translation>
    </message>
    <message>
        <source>The hour must be from 0 to 23.</source>
        <translation>L'heure doit être comprise entre 0 et 23.</translation>
    </message>
    <message>
        <source>The minute must be from 0 to 59.</source>
        <translation>Les minutes doivent être comprises entre 0 et 59.</translation>
    </message>
    <message>
        <source>The second must be from 0 to 59.</source>
        <translation>Les secondes doivent être comprises entre 0 et 59.</translation>
    </message>
    <message>
        <source>The day of the month must be from 1 to 31.</source>
        <translation>Le jour du mois doit être compris entre 1 et 31.</translation>
    </message>
    <message>
        <source>This date and time have already passed.</source>
        <translation>Cette date et cette heure sont déjà passées.</translation>
    </message>
    <message>
        <source>The task could not be stored.</source>
        <translation>La tâche n'a pas pu être enregistrée.</translation>
    </message>
</context>
<context>
    <name>PopupAddScheduleTaskForm.ui</name>
    <message>
        <source>Task Type:</source>
        <translation>Type de tâche :</translation>
    </message>
    <message>
        <source>Self-test for 10S</source>
        <translation>Autotest de 10 s</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>Autotest jusqu'à fin de décharge</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>Mise en marche de l'onduleur</translation>
    </message>
    <message>
        <source>Shutdown system and close UPS</source>
        <translation>Arrêter le système et l'onduleur</translation>
    </message>
    <message>
        <source>Execute Time:</source>
        <translation>Heure d'exécution :</translation>
    </message>
    <message>
        <source>Execute Cyle:</source>
        <translation>Périodicité :</translation>
    </message>
    <message>
        <source>One Shoot</source>
        <translation>Une fois</translation>
    </message>
    <message>
        <source>Every day</source>
        <translation>Tous les jours</translation>
    </message>
    <message>
        <source>Every Week</source>
        <translation>Toutes les semaines</translation>
    </message>
    <message>
        <source>Every Month</source>
        <translation>Tous les mois</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Execute Date:</source>
        <translation>Date d'exécution :</translation>
    </message>
    <message>
        <source>Execute Day:</source>
        <translation>Jour d'exécution :</translation>
    </message>
    <message>
        <source>Monday</source>
        <translation>lundi</translation>
    </message>
    <message>
        <source>Tuesday</source>
        <translation>mardi</translation>
    </message>
    <message>
        <source>Wednesday</source>
        <translation>mercredi</translation>
    </message>
    <message>
        <source>Thursday</source>
        <translation>jeudi</translation>
    </message>
    <message>
        <source>Friday</source>
        <translation>vendredi</translation>
    </message>
    <message>
        <source>Saturday</source>
        <translation>samedi</translation>
    </message>
    <message>
        <source>Sunday</source>
        <translation>dimanche</translation>
    </message>
    <message>
        <source>(1~31; the last day in shorter months)</source>
        <translation>(1~31 ; le dernier jour dans les mois plus courts)</translation>
    </message>
</context>
<context>
    <name>PopupCurrentAlarm</name>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>No alarm stands now.</source>
        <translation>Aucune alarme en cours.</translation>
    </message>
</context>
<context>
    <name>PopupNutUser</name>
    <message>
        <source>1 to 64 characters without blanks, quotes, backslashes or #.</source>
        <translation>1 à 64 caractères, sans espace, guillemet, barre oblique inverse ni #.</translation>
    </message>
    <message>
        <source>Leave the password empty to keep it.</source>
        <translation>Laissez le mot de passe vide pour le conserver.</translation>
    </message>
</context>
<context>
    <name>PopupNutUserForm.ui</name>
    <message>
        <source>User name:</source>
        <translation>Nom d'utilisateur :</translation>
    </message>
    <message>
        <source>Role:</source>
        <translation>Rôle :</translation>
    </message>
    <message>
        <source>Monitor (watch the UPS)</source>
        <translation>Monitor (surveille l'onduleur)</translation>
    </message>
    <message>
        <source>Admin (also run UPS commands)</source>
        <translation>Admin (commande aussi l'onduleur)</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe :</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>PopupSetEMailSender</name>
    <message>
        <source>User account is invalid!</source>
        <translation>Le compte n'est pas valide !</translation>
    </message>
</context>
<context>
    <name>PopupSetEMailSenderForm.ui</name>
    <message>
        <source>E-Mail Sender</source>
        <translation>Expéditeur</translation>
    </message>
    <message>
        <source>Account:</source>
        <translation>Compte :</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe :</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Annuler</translation>
    </message>
    <message>
        <source>Sure</source>
        <translation>OK</translation>
    </message>
</context>
<context>
    <name>RuntimeLearner</name>
    <message>
        <source>Battery worn: %1</source>
        <translation>Batterie usée : %1</translation>
    </message>
    <message>
        <source>The battery now holds %1 % of what its first discharges showed: plan its replacement.</source>
        <translation>La batterie ne tient plus que %1 % de ce que montraient ses premières décharges : prévoyez son remplacement.</translation>
    </message>
    <message>
        <source>Battery of %1, measured by its discharges: %2 % of its first capacity (%3 discharges to battery low learned).</source>
        <translation>Batterie de %1, mesurée par ses décharges : %2 % de sa capacité d'origine (%3 décharges jusqu'à batterie faible apprises).</translation>
    </message>
    <message>
        <source>Battery wearing: %1</source>
        <translation>Batterie en usure : %1</translation>
    </message>
    <message>
        <source>The battery holds %1 % of what its first discharges showed and is on course to fall below 80 % in about %2 days: plan its replacement.</source>
        <translation>La batterie tient %1 % de ce que montraient ses premières décharges et devrait passer sous 80 % dans environ %2 jours : prévoyez son remplacement.</translation>
    </message>
</context>
<context>
    <name>ScheduleTaskListDelegate</name>
    <message>
        <source>One Shoot</source>
        <translation>Une fois</translation>
    </message>
    <message>
        <source>Daily</source>
        <translation>Quotidienne</translation>
    </message>
    <message>
        <source>Weekly</source>
        <translation>Hebdomadaire</translation>
    </message>
    <message>
        <source>Monthly</source>
        <translation>Mensuelle</translation>
    </message>
    <message>
        <source>Unkown code: </source>
        <translation>Code inconnu : </translation>
    </message>
    <message>
        <source>Self-test for 10 secords</source>
        <translation>Autotest de 10 secondes</translation>
    </message>
    <message>
        <source>Self-test to EOD</source>
        <translation>Autotest jusqu'à fin de décharge</translation>
    </message>
    <message>
        <source>UPS Power on</source>
        <translation>Mise en marche de l'onduleur</translation>
    </message>
    <message>
        <source>System shutdown and close UPS</source>
        <translation>Arrêt du système et de l'onduleur</translation>
    </message>
    <message>
        <source>every Sunday</source>
        <translation>chaque dimanche</translation>
    </message>
    <message>
        <source>every Monday</source>
        <translation>chaque lundi</translation>
    </message>
    <message>
        <source>every Tuesday</source>
        <translation>chaque mardi</translation>
    </message>
    <message>
        <source>every Wednesday</source>
        <translation>chaque mercredi</translation>
    </message>
    <message>
        <source>every Thursday</source>
        <translation>chaque jeudi</translation>
    </message>
    <message>
        <source>every Friday</source>
        <translation>chaque vendredi</translation>
    </message>
    <message>
        <source>every Saturday</source>
        <translation>chaque samedi</translation>
    </message>
    <message>
        <source>on day %1 of each month</source>
        <translation>le %1 de chaque mois</translation>
    </message>
</context>
<context>
    <name>SerialLink</name>
    <message>
        <source>Port %1 not found</source>
        <translation>Port %1 introuvable</translation>
    </message>
    <message>
        <source>Permission denied: add yourself to %1</source>
        <translation>Permission refusée : ajoutez-vous au groupe %1</translation>
    </message>
    <message>
        <source>Port %1 cannot be opened: %2</source>
        <translation>Le port %1 ne peut pas être ouvert : %2</translation>
    </message>
</context>
<context>
    <name>ServiceEMail</name>
    <message>
        <source>From Quelta</source>
        <translation>De Quelta</translation>
    </message>
    <message>
        <source>mail rejected</source>
        <translation>message refusé</translation>
    </message>
    <message>
        <source>UPS Alarm</source>
        <translation>Alarme onduleur</translation>
    </message>
    <message>
        <source>Daily Report</source>
        <translation>Rapport quotidien</translation>
    </message>
    <message>
        <source>UPS daily report.</source>
        <translation>Rapport quotidien de l'onduleur.</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>Tension d'entrée (V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>Tension de sortie (V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>Charge de l'onduleur (%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>Fréquence d'entrée (Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Tension de batterie (V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>Température (℃)</translation>
    </message>
    <message>
        <source>Test E-Mail</source>
        <translation>E-mail de test</translation>
    </message>
    <message>
        <source>This is a test E-Mail!</source>
        <translation>Ceci est un e-mail de test !</translation>
    </message>
    <message>
        <source>connection failed</source>
        <translation>échec de la connexion</translation>
    </message>
    <message>
        <source>encryption failed</source>
        <translation>échec du chiffrement</translation>
    </message>
    <message>
        <source>authentication failed</source>
        <translation>échec de l'authentification</translation>
    </message>
    <message>
        <source>no server address</source>
        <translation>aucune adresse de serveur</translation>
    </message>
    <message>
        <source>no server port</source>
        <translation>aucun port de serveur</translation>
    </message>
    <message>
        <source>no sender address (the test mail goes to it)</source>
        <translation>aucune adresse d'expéditeur (le mail de test lui est envoyé)</translation>
    </message>
    <message>
        <source>no login account</source>
        <translation>aucun compte de connexion</translation>
    </message>
</context>
<context>
    <name>ServiceNetwork</name>
    <message>
        <source>Name at least one address to listen on (127.0.0.1 for this computer only, 0.0.0.0 and :: for every network).</source>
        <translation>Indiquez au moins une adresse d'écoute (127.0.0.1 pour cet ordinateur seul, 0.0.0.0 et :: pour tous les réseaux).</translation>
    </message>
    <message>
        <source>Not an IP address: %1</source>
        <translation>Pas une adresse IP : %1</translation>
    </message>
    <message>
        <source>Not a network (such as 192.168.1.0/24 or fd00::/8): %1</source>
        <translation>Pas un réseau (comme 192.168.1.0/24 ou fd00::/8) : %1</translation>
    </message>
    <message>
        <source>A UPS name holds letters, digits and . _ - @ only: %1</source>
        <translation>Un nom d'onduleur ne contient que des lettres, des chiffres et . _ - @ : %1</translation>
    </message>
</context>
<context>
    <name>ServiceNotification</name>
    <message>
        <source>%1 minutes</source>
        <translation>%1 minutes</translation>
    </message>
    <message>
        <source>%1 seconds</source>
        <translation>%1 secondes</translation>
    </message>
    <message>
        <source>Communication restored</source>
        <translation>Communication rétablie</translation>
    </message>
    <message>
        <source>Quelta is talking to the UPS again.</source>
        <translation>Quelta communique de nouveau avec l'onduleur.</translation>
    </message>
    <message>
        <source>Communication lost</source>
        <translation>Communication perdue</translation>
    </message>
    <message>
        <source>Quelta cannot reach the UPS: it no longer sees a mains failure.</source>
        <translation>Quelta ne joint plus l'onduleur : une coupure secteur ne sera plus détectée.</translation>
    </message>
    <message>
        <source>The UPS is running on its battery.</source>
        <translation>L'onduleur fonctionne sur batterie.</translation>
    </message>
    <message>
        <source>Battery charge: %1 %.</source>
        <translation>Charge de la batterie : %1 %.</translation>
    </message>
    <message>
        <source>Mains failure</source>
        <translation>Coupure secteur</translation>
    </message>
    <message>
        <source>Mains returned</source>
        <translation>Retour du secteur</translation>
    </message>
    <message>
        <source>The UPS is running on the mains again.</source>
        <translation>L'onduleur fonctionne de nouveau sur le secteur.</translation>
    </message>
    <message>
        <source>Battery low</source>
        <translation>Batterie faible</translation>
    </message>
    <message>
        <source>The UPS battery is low: the computer may lose power soon.</source>
        <translation>La batterie de l'onduleur est faible : l'ordinateur risque de perdre son alimentation sous peu.</translation>
    </message>
    <message>
        <source>UPS fault</source>
        <translation>Défaut de l'onduleur</translation>
    </message>
    <message>
        <source>The UPS reports a fault; the alarm list tells more.</source>
        <translation>L'onduleur signale un défaut ; la liste des alarmes en dit plus.</translation>
    </message>
    <message>
        <source>Shutdown countdown started</source>
        <translation>Compte à rebours d'arrêt lancé</translation>
    </message>
    <message>
        <source>Shutdown countdown cancelled</source>
        <translation>Compte à rebours d'arrêt annulé</translation>
    </message>
    <message>
        <source>The computer stays on.</source>
        <translation>L'ordinateur reste allumé.</translation>
    </message>
    <message>
        <source>Passed.</source>
        <translation>Réussi.</translation>
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation>Échec : la batterie est devenue faible.</translation>
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation>Échec : l'onduleur a signalé un défaut.</translation>
    </message>
    <message>
        <source>The battery voltage fell by %1 V in %2.</source>
        <translation>La tension de la batterie a baissé de %1 V en %2.</translation>
    </message>
    <message>
        <source>Self-test finished</source>
        <translation>Autotest terminé</translation>
    </message>
    <message>
        <source>Shutdown countdown shortened</source>
        <translation>Compte à rebours d'arrêt raccourci</translation>
    </message>
    <message>
        <source>The computer shuts down in %1, at %2.</source>
        <translation>L'ordinateur s'arrête dans %1, à %2.</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>Annuler l'arrêt</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
    <message>
        <source>The countdown ends in %1, at %2. Nothing is set to happen then: the computer stays on.</source>
        <translation>Le compte à rebours se termine dans %1, à %2. Rien n'est prévu à ce moment : l'ordinateur reste allumé.</translation>
    </message>
    <message>
        <source>The UPS battery is low: the UPS may switch off soon.</source>
        <translation>La batterie de l'onduleur est faible : l'onduleur risque de s'éteindre sous peu.</translation>
    </message>
    <message>
        <source>(1 change since the last notice: %1 at %2)</source>
        <translation>(1 changement depuis la dernière notification : %1 à %2)</translation>
    </message>
    <message>
        <source>(%1 changes since the last notice, between %2 and %3)</source>
        <translation>(%1 changements depuis la dernière notification, entre %2 et %3)</translation>
    </message>
    <message>
        <source>Measured at this load, it lasts about %1.</source>
        <translation>Mesurée à cette charge, elle tient environ %1.</translation>
    </message>
</context>
<context>
    <name>ServiceShutdown</name>
    <message>
        <source>the system refused to power it off</source>
        <translation>le système a refusé de l'éteindre</translation>
    </message>
    <message>
        <source>the system offers no way to power it off</source>
        <translation>le système n'offre aucun moyen de l'éteindre</translation>
    </message>
    <message>
        <source>the power-off request failed</source>
        <translation>la demande d'extinction a échoué</translation>
    </message>
    <message>
        <source>The computer could not be shut down: %1. Save your work and shut it down by hand.</source>
        <translation>L'ordinateur n'a pas pu être arrêté : %1. Enregistrez votre travail et arrêtez-le vous-même.</translation>
    </message>
    <message>
        <source>The shutdown can no longer be cancelled: the other computers on the UPS have been told to shut down, or the power-off has been asked for.</source>
        <translation>L'arrêt ne peut plus être annulé : les autres ordinateurs de l'onduleur ont reçu l'ordre de s'arrêter, ou la mise hors tension a été demandée.</translation>
    </message>
    <message>
        <source>Supplies lost: %1.</source>
        <translation>Alimentations perdues : %1.</translation>
    </message>
    <message>
        <source>The computer was not shut down</source>
        <translation>L'ordinateur n'a pas été arrêté</translation>
    </message>
</context>
<context>
    <name>SettingKeys</name>
    <message>
        <source>true or false</source>
        <translation>true ou false</translation>
    </message>
    <message>
        <source>a whole number from %1 to %2</source>
        <translation>un nombre entier de %1 à %2</translation>
    </message>
    <message>
        <source>one of %1</source>
        <translation>l'une des valeurs %1</translation>
    </message>
    <message>
        <source>any text</source>
        <translation>n'importe quel texte</translation>
    </message>
    <message>
        <source>a time of day such as 07:30:00</source>
        <translation>une heure telle que 07:30:00</translation>
    </message>
    <message>
        <source>a day such as 2026-12-31, or nothing</source>
        <translation>un jour tel que 2026-12-31, ou rien</translation>
    </message>
    <message>
        <source>a host name or an IP address, or nothing</source>
        <translation>un nom d'hôte ou une adresse IP, ou rien</translation>
    </message>
    <message>
        <source>IP addresses separated by commas, such as 127.0.0.1,::1</source>
        <translation>des adresses IP séparées par des virgules, comme 127.0.0.1,::1</translation>
    </message>
    <message>
        <source>IP addresses or networks separated by commas, such as 192.168.1.0/24,fd00::/8</source>
        <translation>des adresses IP ou des réseaux séparés par des virgules, comme 192.168.1.0/24,fd00::/8</translation>
    </message>
    <message>
        <source>names separated by commas</source>
        <translation>des noms séparés par des virgules</translation>
    </message>
    <message>
        <source>a path</source>
        <translation>un chemin</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>Settings file damaged</source>
        <translation>Fichier de réglages endommagé</translation>
    </message>
    <message>
        <source>The settings file was damaged and could not be kept aside.</source>
        <translation>Le fichier de réglages était endommagé et n'a pas pu être mis de côté.</translation>
    </message>
    <message>
        <source>The settings file was damaged; it is kept as %1.</source>
        <translation>Le fichier de réglages était endommagé ; il est conservé sous %1.</translation>
    </message>
    <message>
        <source>The new one holds the settings that could be read from it (%1) and the defaults for the rest: check the settings, above all the shutdown and the UPS link.</source>
        <translation>Le nouveau contient les réglages qui ont pu y être lus (%1) et les valeurs par défaut pour le reste : vérifiez les réglages, surtout l'arrêt et la liaison avec l'onduleur.</translation>
    </message>
    <message>
        <source>The settings file %1 was changed and does not read whole (%2). The lines that read are taken; the others keep the settings in force. Repair it: 'config check' lists the problems.</source>
        <translation>Le fichier de réglages %1 a été modifié et ne se lit pas en entier (%2). Les lignes lisibles sont prises en compte ; pour les autres, les réglages en vigueur restent. Réparez-le : 'config check' en liste les problèmes.</translation>
    </message>
    <message>
        <source>The settings in force were written in its place.</source>
        <translation>Les réglages en vigueur ont été écrits à sa place.</translation>
    </message>
</context>
<context>
    <name>SettingsCommon</name>
    <message>
        <source>Operation finished!</source>
        <translation>Opération terminée !</translation>
    </message>
    <message>
        <source>Are you sure to restore settings?!</source>
        <translation>Voulez-vous vraiment rétablir les réglages par défaut ?!</translation>
    </message>
    <message>
        <source>Look for...</source>
        <translation>Parcourir...</translation>
    </message>
    <message>
        <source>Configuration files (*.conf)</source>
        <translation>Fichiers de configuration (*.conf)</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Enregistrer sous...</translation>
    </message>
    <message>
        <source>Operation failed!</source>
        <translation>L'opération a échoué !</translation>
    </message>
    <message>
        <source>No data from the server: %1</source>
        <translation>Aucune donnée du serveur : %1</translation>
    </message>
    <message>
        <source>Certificates (*.pem *.crt)</source>
        <translation>Certificats (*.pem *.crt)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation>Compté à partir du premier jour où un onduleur répond.</translation>
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation>Remplacement à faire depuis le %1.</translation>
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation>Remplacement prévu le %1.</translation>
    </message>
    <message>
        <source>Saved as %1</source>
        <translation>Enregistré sous %1</translation>
    </message>
</context>
<context>
    <name>SettingsCommonForm.ui</name>
    <message>
        <source>Base Parameter</source>
        <translation>Paramètres de base</translation>
    </message>
    <message>
        <source>UPS Communication Type:</source>
        <translation>Liaison avec l'onduleur :</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>COM</source>
        <translation>COM</translation>
    </message>
    <message>
        <source>COM port:</source>
        <translation>Port COM :</translation>
    </message>
    <message>
        <source>Baud rate:</source>
        <translation>Débit (bauds) :</translation>
    </message>
    <message>
        <source>Record data interval(Sec):</source>
        <translation>Intervalle d'enregistrement (s) :</translation>
    </message>
    <message>
        <source>Version Information</source>
        <translation>Informations de version</translation>
    </message>
    <message>
        <source>Quelta version:</source>
        <translation>Version de Quelta :</translation>
    </message>
    <message>
        <source>USB HID version:</source>
        <translation>Version USB HID :</translation>
    </message>
    <message>
        <source>Settings Management</source>
        <translation>Gestion des réglages</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Langue :</translation>
    </message>
    <message>
        <source>English</source>
        <translation>English</translation>
    </message>
    <message>
        <source>中文简体 </source>
        <translation>中文简体 </translation>
    </message>
    <message>
        <source>Français</source>
        <translation>Français</translation>
    </message>
    <message>
        <source>Following System Language</source>
        <translation>Langue du système</translation>
    </message>
    <message>
        <source>Settings Import:</source>
        <translation>Importer les réglages :</translation>
    </message>
    <message>
        <source>Look for...</source>
        <translation>Parcourir...</translation>
    </message>
    <message>
        <source>Settings Export:</source>
        <translation>Exporter les réglages :</translation>
    </message>
    <message>
        <source>Save as...</source>
        <translation>Enregistrer sous...</translation>
    </message>
    <message>
        <source>Restore Default Settings</source>
        <translation>Rétablir les réglages par défaut</translation>
    </message>
    <message>
        <source>Network (NUT)</source>
        <translation>Réseau (NUT)</translation>
    </message>
    <message>
        <source>UPS Server (NUT)</source>
        <translation>Serveur d'onduleur (NUT)</translation>
    </message>
    <message>
        <source>Server:</source>
        <translation>Serveur :</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port :</translation>
    </message>
    <message>
        <source>UPS name:</source>
        <translation>Nom de l'onduleur :</translation>
    </message>
    <message>
        <source>User:</source>
        <translation>Utilisateur :</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe :</translation>
    </message>
    <message>
        <source>CA file:</source>
        <translation>Fichier CA :</translation>
    </message>
    <message>
        <source>System certificates</source>
        <translation>Certificats du système</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation>Autoriser une connexion non chiffrée</translation>
    </message>
    <message>
        <source>Another program holds the UPS port, the Quelta service for example. Quelta opens it once it is free.</source>
        <translation>Un autre programme occupe le port de l'onduleur, le service Quelta par exemple. Quelta l'ouvrira dès qu'il sera libre.</translation>
    </message>
    <message>
        <source>Start with the desktop</source>
        <translation>Démarrer avec le bureau</translation>
    </message>
    <message>
        <source>Desktop notifications</source>
        <translation>Notifications du bureau</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Batterie</translation>
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation>Batterie installée le :</translation>
    </message>
    <message>
        <source>Replace after (months):</source>
        <translation>Remplacer après (mois) :</translation>
    </message>
    <message>
        <source>繁體中文</source>
        <translation>繁體中文</translation>
    </message>
</context>
<context>
    <name>SettingsEMail</name>
    <message>
        <source>Sending test E-Mail...</source>
        <translation>Envoi de l'e-mail de test...</translation>
    </message>
    <message>
        <source>E-Mail has been sent.</source>
        <translation>L'e-mail a été envoyé.</translation>
    </message>
    <message>
        <source>Failed to send test E-Mail!</source>
        <translation>Échec de l'envoi de l'e-mail de test !</translation>
    </message>
    <message>
        <source>E-Mail address is invalid!</source>
        <translation>L'adresse e-mail n'est pas valide !</translation>
    </message>
</context>
<context>
    <name>SettingsEMailForm.ui</name>
    <message>
        <source>E-Mail</source>
        <translation>E-mail</translation>
    </message>
    <message>
        <source>Sender Information</source>
        <translation>Expéditeur</translation>
    </message>
    <message>
        <source>Sender Name:</source>
        <translation>Nom de l'expéditeur :</translation>
    </message>
    <message>
        <source>Sender Address:</source>
        <translation>Adresse de l'expéditeur :</translation>
    </message>
    <message>
        <source>Server Address:</source>
        <translation>Adresse du serveur :</translation>
    </message>
    <message>
        <source>Server Port:</source>
        <translation>Port du serveur :</translation>
    </message>
    <message>
        <source>25</source>
        <translation>25</translation>
    </message>
    <message>
        <source>Encrypt:</source>
        <translation>Chiffrement :</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Aucun</translation>
    </message>
    <message>
        <source>STARTTLS</source>
        <translation>STARTTLS</translation>
    </message>
    <message>
        <source>SSL/TLS</source>
        <translation>SSL/TLS</translation>
    </message>
    <message>
        <source>Account authentication:</source>
        <translation>Authentification :</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Réglages</translation>
    </message>
    <message>
        <source>Send Test Mail</source>
        <translation>Envoyer un e-mail de test</translation>
    </message>
    <message>
        <source>E-mail Address</source>
        <translation>Adresse e-mail</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Daily Report Send Time(HH:MM:SS): </source>
        <translation>Heure d'envoi du rapport quotidien (HH:MM:SS) : </translation>
    </message>
</context>
<context>
    <name>SettingsFileExchange</name>
    <message>
        <source>The e-mail recipients could not be stored (%1); the old list is kept.</source>
        <translation>Les destinataires des e-mails n'ont pas pu être enregistrés (%1) ; l'ancienne liste est conservée.</translation>
    </message>
    <message>
        <source>The network server's accounts could not be stored; the old ones are kept.</source>
        <translation>Les comptes du serveur réseau n'ont pas pu être enregistrés ; les anciens sont conservés.</translation>
    </message>
    <message>
        <source>The protection is switched off: no shutdown on a mains failure.</source>
        <translation>La protection est désactivée : plus d'arrêt sur coupure secteur.</translation>
    </message>
    <message>
        <source>Network sharing is switched off: the computers that watch this UPS over the network lose it.</source>
        <translation>Le partage réseau est désactivé : les ordinateurs qui surveillent cet onduleur par le réseau le perdent.</translation>
    </message>
    <message>
        <source>E-mail is switched off.</source>
        <translation>L'e-mail est désactivé.</translation>
    </message>
    <message>
        <source>Every e-mail recipient is deleted (%1).</source>
        <translation>Tous les destinataires d'e-mail sont supprimés (%1).</translation>
    </message>
    <message>
        <source>The language, desktop notifications, the battery replacement interval and every shutdown, e-mail and network sharing setting go back to their defaults.</source>
        <translation>La langue, les notifications, l'intervalle de remplacement de la batterie et tous les réglages d'arrêt, d'e-mail et de partage réseau reprennent leurs valeurs par défaut.</translation>
    </message>
    <message>
        <source>Kept: the link to the UPS, the network accounts, the scheduled tasks and the battery installation date.</source>
        <translation>Conservés : la liaison avec l'onduleur, les comptes réseau, les tâches planifiées et la date d'installation de la batterie.</translation>
    </message>
    <message>
        <source>The watched UPSes could not be stored; the old list is kept.</source>
        <translation>Les onduleurs surveillés n'ont pas pu être enregistrés ; l'ancienne liste est conservée.</translation>
    </message>
    <message>
        <source>Kept too: the watched UPSes (%1).</source>
        <translation>Conservés aussi : les onduleurs surveillés (%1).</translation>
    </message>
</context>
<context>
    <name>SettingsNetwork</name>
    <message>
        <source>Off</source>
        <translation>Désactivé</translation>
    </message>
    <message>
        <source>Serving the UPS on port %1</source>
        <translation>Onduleur partagé sur le port %1</translation>
    </message>
    <message>
        <source>TLS certificate</source>
        <translation>Certificat TLS</translation>
    </message>
    <message>
        <source>PEM files (*.pem *.crt *.key)</source>
        <translation>Fichiers PEM (*.pem *.crt *.key)</translation>
    </message>
    <message>
        <source>All files (*)</source>
        <translation>Tous les fichiers (*)</translation>
    </message>
    <message>
        <source>TLS key</source>
        <translation>Clé TLS</translation>
    </message>
    <message>
        <source>Name the UPS for the clients.</source>
        <translation>Nommez l'onduleur pour les clients.</translation>
    </message>
    <message>
        <source>Switched off: cannot listen on %1</source>
        <translation>Désactivé : écoute impossible sur %1</translation>
    </message>
    <message>
        <source>Cannot listen on %1</source>
        <translation>Écoute impossible sur %1</translation>
    </message>
    <message>
        <source>Starting...</source>
        <translation>Démarrage...</translation>
    </message>
</context>
<context>
    <name>SettingsNetworkForm.ui</name>
    <message>
        <source>Network Sharing</source>
        <translation>Partage réseau</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>Listen on:</source>
        <translation>Écouter sur :</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Port :</translation>
    </message>
    <message>
        <source>Allowed networks:</source>
        <translation>Réseaux autorisés :</translation>
    </message>
    <message>
        <source>UPS name:</source>
        <translation>Nom de l'onduleur :</translation>
    </message>
    <message>
        <source>Other names:</source>
        <translation>Autres noms :</translation>
    </message>
    <message>
        <source>Wait for clients:</source>
        <translation>Attente des clients :</translation>
    </message>
    <message>
        <source>second(s)</source>
        <translation>seconde(s)</translation>
    </message>
    <message>
        <source>Clients at most:</source>
        <translation>Clients au plus :</translation>
    </message>
    <message>
        <source>TLS certificate:</source>
        <translation>Certificat TLS :</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>TLS key:</source>
        <translation>Clé TLS :</translation>
    </message>
    <message>
        <source>Users</source>
        <translation>Utilisateurs</translation>
    </message>
    <message>
        <source>admin</source>
        <translation>admin</translation>
    </message>
    <message>
        <source>monitor</source>
        <translation>monitor</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Modify</source>
        <translation>Modifier</translation>
    </message>
    <message>
        <source>Delete</source>
        <translation>Supprimer</translation>
    </message>
    <message>
        <source>Connected Clients</source>
        <translation>Clients connectés</translation>
    </message>
    <message>
        <source>logged in</source>
        <translation>connecté</translation>
    </message>
    <message>
        <source>No client connected</source>
        <translation>Aucun client connecté</translation>
    </message>
    <message>
        <source>Allowed clients read the UPS without an account, as with NUT. An account is for logging in (a computer that shuts down with this UPS) and for commands.</source>
        <translation>Les clients autorisés lisent l'onduleur sans compte, comme avec NUT. Un compte sert à se connecter (un ordinateur qui s'arrête avec cet onduleur) et aux commandes.</translation>
    </message>
</context>
<context>
    <name>SettingsShutdown</name>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation>Aucun onduleur surveillé ne s'appelle %1 : il n'est jamais jugé et compte comme pouvant alimenter cet ordinateur.</translation>
    </message>
    <message>
        <source>Protection is on, but nothing is set to happen at the end of the countdown: the computer stays on. Choose "Shutdown OS", a command file or the UPS switch-off.</source>
        <translation>La protection est active, mais rien n'est prévu à la fin du compte à rebours : l'ordinateur reste allumé. Choisissez « Arrêter le système », un fichier de commandes ou la coupure de l'onduleur.</translation>
    </message>
</context>
<context>
    <name>SettingsShutdownForm.ui</name>
    <message>
        <source>Quelta power control</source>
        <translation>Gestion de l'alimentation par Quelta</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system in(0~2880)</source>
        <translation>Après une coupure secteur, arrêter le système dans (0~2880)</translation>
    </message>
    <message>
        <source>minute(s)</source>
        <translation>minute(s)</translation>
    </message>
    <message>
        <source>If low battery occurred, shutdown system in(0~600)</source>
        <translation>En cas de batterie faible, arrêter le système dans (0~600)</translation>
    </message>
    <message>
        <source>After main AC fault, shutdown system when battery capacity lower than(1~100)</source>
        <translation>Après une coupure secteur, arrêter le système sous une capacité de batterie de (1~100)</translation>
    </message>
    <message>
        <source>Shutdown OS</source>
        <translation>Arrêt du système d'exploitation</translation>
    </message>
    <message>
        <source>Command file to execute:</source>
        <translation>Fichier de commandes à exécuter :</translation>
    </message>
    <message>
        <source>Command file:</source>
        <translation>Fichier de commandes :</translation>
    </message>
    <message>
        <source>Browse</source>
        <translation>Parcourir</translation>
    </message>
    <message>
        <source>Max. execution time:</source>
        <translation>Durée d'exécution max. :</translation>
    </message>
    <message>
        <source>UPS Power Off</source>
        <translation>Arrêt de l'onduleur</translation>
    </message>
    <message>
        <source>Times need (1~9)</source>
        <translation>Délai nécessaire (1~9)</translation>
    </message>
    <message>
        <source>minute(s) before UPS turns off</source>
        <translation>minute(s) avant l'arrêt de l'onduleur</translation>
    </message>
    <message>
        <source>On battery, count the battery as low when less backup time is left than(0~1440, 0: off)</source>
        <translation>Sur batterie, considérer la batterie comme faible quand il reste moins d'autonomie que (0~1440, 0 : désactivé)</translation>
    </message>
</context>
<context>
    <name>SettingsWatch</name>
    <message>
        <source>Watched UPSes</source>
        <translation>Onduleurs surveillés</translation>
    </message>
    <message>
        <source>every UPS of %1</source>
        <translation>tous les onduleurs de %1</translation>
    </message>
    <message>
        <source>Remove</source>
        <translation>Retirer</translation>
    </message>
    <message>
        <source>None: only this computer's UPS is watched.</source>
        <translation>Aucun : seul l'onduleur de cet ordinateur est surveillé.</translation>
    </message>
    <message>
        <source>Add a UPS or a whole server</source>
        <translation>Ajouter un onduleur ou tout un serveur</translation>
    </message>
    <message>
        <source>Shown name</source>
        <translation>Nom affiché</translation>
    </message>
    <message>
        <source>Server</source>
        <translation>Serveur</translation>
    </message>
    <message>
        <source>Port</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>UPS name (* for every UPS of the server)</source>
        <translation>Nom de l'onduleur (* pour tous ceux du serveur)</translation>
    </message>
    <message>
        <source>User</source>
        <translation>Utilisateur</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Mot de passe</translation>
    </message>
    <message>
        <source>CA file</source>
        <translation>Fichier de l'autorité (CA)</translation>
    </message>
    <message>
        <source>Allow an unencrypted connection</source>
        <translation>Autoriser une connexion non chiffrée</translation>
    </message>
    <message>
        <source>Add</source>
        <translation>Ajouter</translation>
    </message>
    <message>
        <source>Supplies of this computer</source>
        <translation>Alimentations de cet ordinateur</translation>
    </message>
    <message>
        <source>UPSes that feed it (shown names, local for its own)</source>
        <translation>Onduleurs qui l'alimentent (noms affichés, local pour le sien)</translation>
    </message>
    <message>
        <source>At least this many must be able to feed it</source>
        <translation>Au moins ce nombre doit pouvoir l'alimenter</translation>
    </message>
    <message>
        <source>No watched UPS is named %1: it is never judged and counts as able to feed this computer.</source>
        <translation>Aucun onduleur surveillé ne s'appelle %1 : il n'est jamais jugé et compte comme pouvant alimenter cet ordinateur.</translation>
    </message>
</context>
<context>
    <name>StatusCommand</name>
    <message>
        <source>on mains</source>
        <translation>sur secteur</translation>
    </message>
    <message>
        <source>on battery</source>
        <translation>sur batterie</translation>
    </message>
    <message>
        <source>battery low</source>
        <translation>batterie faible</translation>
    </message>
    <message>
        <source>on bypass</source>
        <translation>sur bypass</translation>
    </message>
    <message>
        <source>lowering a high mains voltage</source>
        <translation>abaisse une tension secteur trop haute</translation>
    </message>
    <message>
        <source>raising a low mains voltage</source>
        <translation>relève une tension secteur trop basse</translation>
    </message>
    <message>
        <source>self-test running</source>
        <translation>autotest en cours</translation>
    </message>
    <message>
        <source>output off</source>
        <translation>sortie coupée</translation>
    </message>
    <message>
        <source>forced shutdown</source>
        <translation>arrêt forcé</translation>
    </message>
    <message>
        <source>alarm</source>
        <translation>alarme</translation>
    </message>
    <message>
        <source>Quelta does not run on the program folder %1.</source>
        <translation>Quelta ne fonctionne pas sur le dossier du programme %1.</translation>
    </message>
    <message>
        <source>Quelta runs on the program folder %1, but this user may not ask it: run this as its user or as a member of its group.</source>
        <translation>Quelta fonctionne sur le dossier du programme %1, mais cet utilisateur ne peut pas l'interroger : lancez ceci sous son utilisateur ou en tant que membre de son groupe.</translation>
    </message>
    <message>
        <source>Quelta on the program folder %1 did not answer.</source>
        <translation>Quelta sur le dossier du programme %1 n'a pas répondu.</translation>
    </message>
    <message>
        <source>Quelta on the program folder %1 watches no UPS.</source>
        <translation>Quelta sur le dossier du programme %1 ne surveille aucun onduleur.</translation>
    </message>
    <message>
        <source>%1: no UPS answers</source>
        <translation>%1 : aucun onduleur ne répond</translation>
    </message>
    <message>
        <source>settings: %1</source>
        <translation>réglages : %1</translation>
    </message>
    <message>
        <source>battery health: %1 %</source>
        <translation>santé de la batterie : %1 %</translation>
    </message>
    <message>
        <source>measured backup time: %1 s (%2 to %3 s)</source>
        <translation>autonomie mesurée : %1 s (%2 à %3 s)</translation>
    </message>
    <message>
        <source>measured backup time: none (%1)</source>
        <translation>autonomie mesurée : aucune (%1)</translation>
    </message>
</context>
<context>
    <name>TableModelAlarm</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
</context>
<context>
    <name>TableModelDevData</name>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>Tension d'entrée (V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>Tension de sortie (V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>Charge de l'onduleur (%)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>Fréquence d'entrée (Hz)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Tension de batterie (V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>Température (℃)</translation>
    </message>
    <message>
        <source>Per-minute means</source>
        <translation>Moyennes par minute</translation>
    </message>
</context>
<context>
    <name>TableModelSelfTest</name>
    <message>
        <source>Passed</source>
        <translation>Réussi</translation>
    </message>
    <message>
        <source>Failed: battery low</source>
        <translation>Échec : batterie faible</translation>
    </message>
    <message>
        <source>Failed: UPS fault</source>
        <translation>Échec : défaut de l'onduleur</translation>
    </message>
</context>
<context>
    <name>UpsCard</name>
    <message>
        <source>This computer</source>
        <translation>Cet ordinateur</translation>
    </message>
    <message>
        <source>Charge</source>
        <translation>Charge batterie</translation>
    </message>
    <message>
        <source>Runtime</source>
        <translation>Autonomie</translation>
    </message>
    <message>
        <source>Load</source>
        <translation>Charge</translation>
    </message>
    <message>
        <source>Conneted</source>
        <translation>Connecté</translation>
    </message>
    <message>
        <source>Disconnected</source>
        <translation>Déconnecté</translation>
    </message>
</context>
<context>
    <name>UpsStateLook</name>
    <message>
        <source>UPS Normal</source>
        <translation>Onduleur normal</translation>
    </message>
    <message>
        <source>On Battery</source>
        <translation>Sur batterie</translation>
    </message>
    <message>
        <source>Battery Low</source>
        <translation>Batterie faible</translation>
    </message>
    <message>
        <source>Output Off</source>
        <translation>Sortie coupée</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>Défaut onduleur</translation>
    </message>
    <message>
        <source>Communication Lost</source>
        <translation>Communication perdue</translation>
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>Onduleur déconnecté</translation>
    </message>
    <message>
        <source>Port busy</source>
        <translation>Port occupé</translation>
    </message>
    <message>
        <source>Output off pending</source>
        <translation>Coupure de la sortie annoncée</translation>
    </message>
    <message>
        <source>Output off in %1</source>
        <translation>Sortie coupée dans %1</translation>
    </message>
</context>
<context>
    <name>WebPage</name>
    <message>
        <source>Day</source>
        <translation>Jour</translation>
    </message>
    <message>
        <source>Week</source>
        <translation>Semaine</translation>
    </message>
    <message>
        <source>Month</source>
        <translation>Mois</translation>
    </message>
    <message>
        <source>Measurements</source>
        <translation>Mesures</translation>
    </message>
    <message>
        <source>No current alarm.</source>
        <translation>Aucune alarme en cours.</translation>
    </message>
    <message>
        <source>Last self-tests</source>
        <translation>Derniers autotests</translation>
    </message>
    <message>
        <source>No self-test was recorded.</source>
        <translation>Aucun autotest n'a été enregistré.</translation>
    </message>
    <message>
        <source>No samples were stored in this time.</source>
        <translation>Aucune mesure n'a été enregistrée sur cette période.</translation>
    </message>
    <message>
        <source>Log in</source>
        <translation>Se connecter</translation>
    </message>
    <message>
        <source>Log out</source>
        <translation>Se déconnecter</translation>
    </message>
    <message>
        <source>UPS commands need a network account with the admin role.</source>
        <translation>Les commandes de l'onduleur demandent un compte réseau ayant le rôle admin.</translation>
    </message>
    <message>
        <source>UPS commands are offered over HTTPS only.</source>
        <translation>Les commandes de l'onduleur ne sont proposées qu'en HTTPS.</translation>
    </message>
    <message>
        <source>Wrong user name or password.</source>
        <translation>Nom d'utilisateur ou mot de passe erroné.</translation>
    </message>
    <message>
        <source>Not done: %1</source>
        <translation>Non effectué : %1</translation>
    </message>
    <message>
        <source>Live</source>
        <translation>En direct</translation>
    </message>
    <message>
        <source>Reconnecting...</source>
        <translation>Reconnexion...</translation>
    </message>
    <message>
        <source>No UPS of this name is known.</source>
        <translation>Aucun onduleur de ce nom n'est connu.</translation>
    </message>
    <message>
        <source>1 sample</source>
        <translation>1 mesure</translation>
    </message>
    <message>
        <source>Supplies lost: %1</source>
        <translation>Alimentations perdues : %1</translation>
    </message>
    <message>
        <source>%1 of %2 needed can still feed</source>
        <translation>%1 sur %2 nécessaires peuvent encore alimenter</translation>
    </message>
    <message>
        <source>UPS disconnect</source>
        <translation>Onduleur déconnecté</translation>
    </message>
    <message>
        <source>UPS Normal</source>
        <translation>Onduleur normal</translation>
    </message>
    <message>
        <source>On Battery</source>
        <translation>Sur batterie</translation>
    </message>
    <message>
        <source>Battery Low</source>
        <translation>Batterie faible</translation>
    </message>
    <message>
        <source>Output off in %1</source>
        <translation>Sortie coupée dans %1</translation>
    </message>
    <message>
        <source>Output Off</source>
        <translation>Sortie coupée</translation>
    </message>
    <message>
        <source>UPS Fault</source>
        <translation>Défaut onduleur</translation>
    </message>
    <message>
        <source>Communication Lost</source>
        <translation>Communication perdue</translation>
    </message>
    <message>
        <source>Port busy</source>
        <translation>Port occupé</translation>
    </message>
    <message>
        <source>Input Voltage(V)</source>
        <translation>Tension d'entrée (V)</translation>
    </message>
    <message>
        <source>Output Voltage(V)</source>
        <translation>Tension de sortie (V)</translation>
    </message>
    <message>
        <source>UPS Load(%)</source>
        <translation>Charge de l'onduleur (%)</translation>
    </message>
    <message>
        <source>Battery voltage(V)</source>
        <translation>Tension de batterie (V)</translation>
    </message>
    <message>
        <source>Temperature(℃)</source>
        <translation>Température (℃)</translation>
    </message>
    <message>
        <source>Input Frequency(Hz)</source>
        <translation>Fréquence d'entrée (Hz)</translation>
    </message>
    <message>
        <source>Battery Capacity</source>
        <translation>Capacité de la batterie</translation>
    </message>
    <message>
        <source>Battery Remaining Time</source>
        <translation>Autonomie restante</translation>
    </message>
    <message>
        <source>System Shutdown CountDown</source>
        <translation>Compte à rebours avant arrêt du système</translation>
    </message>
    <message>
        <source>UPS Output Off In</source>
        <translation>Coupure de la sortie dans</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>Annuler l'arrêt</translation>
    </message>
    <message>
        <source>UPS Manufacturer:</source>
        <translation>Fabricant de l'onduleur :</translation>
    </message>
    <message>
        <source>UPS Model:</source>
        <translation>Modèle de l'onduleur :</translation>
    </message>
    <message>
        <source>UPS Version:</source>
        <translation>Version de l'onduleur :</translation>
    </message>
    <message>
        <source>UPS SN:</source>
        <translation>N° de série de l'onduleur :</translation>
    </message>
    <message>
        <source>Alarm</source>
        <translation>Alarme</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Duration</source>
        <translation>Durée</translation>
    </message>
    <message>
        <source>Count</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Battery voltage drop (V)</source>
        <translation>Chute de tension batterie (V)</translation>
    </message>
    <message>
        <source>Passed.</source>
        <translation>Réussi.</translation>
    </message>
    <message>
        <source>Failed: the battery ran low.</source>
        <translation>Échec : la batterie est devenue faible.</translation>
    </message>
    <message>
        <source>Failed: the UPS reported a fault.</source>
        <translation>Échec : l'onduleur a signalé un défaut.</translation>
    </message>
    <message>
        <source>Battery</source>
        <translation>Batterie</translation>
    </message>
    <message>
        <source>Battery installed on:</source>
        <translation>Batterie installée le :</translation>
    </message>
    <message>
        <source>Counted from the first day a UPS answers.</source>
        <translation>Compté à partir du premier jour où un onduleur répond.</translation>
    </message>
    <message>
        <source>Replacement due on %1.</source>
        <translation>Remplacement prévu le %1.</translation>
    </message>
    <message>
        <source>Replacement due since %1.</source>
        <translation>Remplacement à faire depuis le %1.</translation>
    </message>
    <message>
        <source>%1 samples</source>
        <translation>%1 mesures</translation>
    </message>
    <message>
        <source>Overview</source>
        <translation>Vue d'ensemble</translation>
    </message>
    <message>
        <source>UPS Self-test for 10S</source>
        <translation>Autotest de l'onduleur pendant 10 s</translation>
    </message>
    <message>
        <source>UPS Self-test cancel</source>
        <translation>Annuler l'autotest de l'onduleur</translation>
    </message>
    <message>
        <source>UPS buzzer toggle</source>
        <translation>Activer/couper l'alarme sonore</translation>
    </message>
    <message>
        <source>UPS Control</source>
        <translation>Commande de l'onduleur</translation>
    </message>
    <message>
        <source>Order has been issued!</source>
        <translation>La commande a été envoyée !</translation>
    </message>
    <message>
        <source>User name:</source>
        <translation>Nom d'utilisateur :</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Mot de passe :</translation>
    </message>
    <message>
        <source>Historical Data</source>
        <translation>Historique</translation>
    </message>
    <message>
        <source>UPS says %1 · measured %2</source>
        <translation>L'onduleur indique %1 · mesuré %2</translation>
    </message>
    <message>
        <source>measured %1</source>
        <translation>mesuré %1</translation>
    </message>
    <message>
        <source>Battery health</source>
        <translation>Santé de la batterie</translation>
    </message>
    <message>
        <source>Battery health by discharge</source>
        <translation>Santé de la batterie par décharge</translation>
    </message>
    <message>
        <source>Health (%)</source>
        <translation>Santé (%)</translation>
    </message>
    <message>
        <source>Load (%)</source>
        <translation>Charge (%)</translation>
    </message>
    <message>
        <source>On course to fall below %1 % around %2</source>
        <translation>Devrait passer sous %1 % vers le %2</translation>
    </message>
    <message>
        <source>Below %1 %: plan the battery's replacement.</source>
        <translation>Sous %1 % : prévoyez le remplacement de la batterie.</translation>
    </message>
    <message>
        <source>The battery's health is measured from the first full-enough discharges: a mains failure or a self-test that runs a charged battery down to battery low. None is stored yet.</source>
        <translation>La santé de la batterie se mesure à partir des premières décharges assez complètes : une coupure secteur ou un autotest qui vide une batterie chargée jusqu'à batterie faible. Aucune n'est encore enregistrée.</translation>
    </message>
    <message>
        <source>Output off pending</source>
        <translation>Coupure de la sortie annoncée</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>Shutdown event activated!</source>
        <translation>Arrêt déclenché !</translation>
    </message>
    <message>
        <source>Show</source>
        <translation>Afficher</translation>
    </message>
    <message>
        <source>Quit</source>
        <translation>Quitter</translation>
    </message>
    <message>
        <source>Quitting stops the protection: the computer will not be shut down when the mains fails. Quit anyway?</source>
        <translation>Quitter arrête la protection : l'ordinateur ne sera pas arrêté en cas de coupure secteur. Quitter quand même ?</translation>
    </message>
    <message>
        <source>Cancel shutdown</source>
        <translation>Annuler l'arrêt</translation>
    </message>
    <message>
        <source>Cancel output off</source>
        <translation>Annuler la coupure</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1 : %2</translation>
    </message>
</context>
</TS>
