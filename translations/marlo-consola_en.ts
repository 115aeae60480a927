<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="es">
<context>
    <name>CameraWatch</name>
    <message>
        <source>Grabación en pausa: cámara sin imagen</source>
        <translation>Recording paused: no picture from the camera</translation>
    </message>
    <message>
        <source>Cámara sin imagen</source>
        <translation>No picture from the camera</translation>
    </message>
    <message>
        <source>Cámara sin imagen: dispositivo ocupado</source>
        <translation>No picture from the camera: device busy</translation>
    </message>
    <message>
        <source>Cámara sin imagen: no encontrada</source>
        <translation>No picture from the camera: not found</translation>
    </message>
    <message>
        <source>Cámara sin imagen: permiso denegado</source>
        <translation>No picture from the camera: permission denied</translation>
    </message>
    <message>
        <source>Cámara sin imagen: formato no admitido</source>
        <translation>No picture from the camera: format not supported</translation>
    </message>
    <message>
        <source>Cámara sin imagen: error de lectura</source>
        <translation>No picture from the camera: read error</translation>
    </message>
</context>
<context>
    <name>ConsoleSettings</name>
    <message>
        <source>está fuera del intervalo de %1 a %2</source>
        <translation>is outside the range %1 to %2</translation>
    </message>
    <message>
        <source>no se puede leer</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source>El valor &quot;%1&quot; de la configuración %2. Se usa %3.</source>
        <translation>The setting &quot;%1&quot; %2. Using %3.</translation>
    </message>
    <message>
        <source>El retardo %1 está fuera del intervalo de %2 a %3 ms.</source>
        <translation>The delay %1 is outside the range %2 to %3 ms.</translation>
    </message>
    <message>
        <source>El intervalo de vídeo %1 está fuera del intervalo de %2 a %3 ms.</source>
        <translation>The video interval %1 is outside the range %2 to %3 ms.</translation>
    </message>
</context>
<context>
    <name>ControllerPlug</name>
    <message>
        <source>Sin joystick</source>
        <translation>No joystick</translation>
    </message>
    <message>
        <source>Joystick: %1</source>
        <translation>Joystick: %1</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>Excepción desconocida</source>
        <translation>Unknown exception</translation>
    </message>
</context>
<context>
    <name>FrameSource</name>
    <message>
        <source>La imagen de prueba &quot;%1&quot; no se puede usar: el tamaño se escribe test:ANCHOxALTO, con lados pares de %2 a %3 por %2 a %4, y si se quiere @IMÁGENES por segundo, de 1 a %5.</source>
        <translation>The test pattern &quot;%1&quot; cannot be used: write its size as test:WIDTHxHEIGHT, with even sides of %2 to %3 by %2 to %4, and if wanted @PICTURES per second, 1 to %5.</translation>
    </message>
    <message>
        <source>Imagen de prueba</source>
        <translation>Test pattern</translation>
    </message>
    <message>
        <source>Imagen de prueba %1</source>
        <translation>Test pattern %1</translation>
    </message>
</context>
<context>
    <name>GameController</name>
    <message>
        <source>Botón 1: Foto instantánea</source>
        <translation>Button 1: Take picture</translation>
    </message>
    <message>
        <source>Botón 2: Motor limpieza</source>
        <translation>Button 2: Cleaning motor</translation>
    </message>
    <message>
        <source>Botón 3: Cámara delantera</source>
        <translation>Button 3: Front camera</translation>
    </message>
    <message>
        <source>Botón 4: Cámara trasera</source>
        <translation>Button 4: Rear camera</translation>
    </message>
    <message>
        <source>Botón 7: Zoom -</source>
        <translation>Button 7: Zoom -</translation>
    </message>
    <message>
        <source>Botón 8: Zoom +</source>
        <translation>Button 8: Zoom +</translation>
    </message>
    <message>
        <source>Girando</source>
        <translation>Turning</translation>
    </message>
    <message>
        <source>Recto atrás</source>
        <translation>Straight back</translation>
    </message>
    <message>
        <source>Recto adelante</source>
        <translation>Straight ahead</translation>
    </message>
</context>
<context>
    <name>Keyboard</name>
    <message>
        <source>Elevador arriba</source>
        <translation>Elevator up</translation>
    </message>
    <message>
        <source>Elevador abajo</source>
        <translation>Elevator down</translation>
    </message>
    <message>
        <source>Botón 1: Foto instantánea</source>
        <translation>Button 1: Take picture</translation>
    </message>
</context>
<context>
    <name>LinkStatus</name>
    <message>
        <source>Conexión con el robot perdida</source>
        <translation>Connection to the robot lost</translation>
    </message>
    <message>
        <source>El robot no responde</source>
        <translation>The robot does not answer</translation>
    </message>
    <message>
        <source>Conexión con el robot restablecida</source>
        <translation>Connection to the robot restored</translation>
    </message>
    <message>
        <source>Sin respuesta</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>Sin conexión</source>
        <translation>Not connected</translation>
    </message>
</context>
<context>
    <name>PicturePanel</name>
    <message>
        <source>SIN IMAGEN</source>
        <translation>NO PICTURE</translation>
    </message>
</context>
<context>
    <name>PortSetup</name>
    <message>
        <source>Error abriendo puerto COMM</source>
        <translation>Error opening the COMM port</translation>
    </message>
    <message>
        <source>Puerto en uso por otro programa</source>
        <translation>Port in use by another program</translation>
    </message>
    <message>
        <source>Parámetros puerto serie incorrectos</source>
        <translation>Serial port parameters are wrong</translation>
    </message>
</context>
<context>
    <name>RecordingWatch</name>
    <message>
        <source>Vídeo no grabado: sin nombre libre</source>
        <translation>Video not recorded: no free name</translation>
    </message>
    <message>
        <source>Vídeo no grabado: no se pudo crear %1</source>
        <translation>Video not recorded: could not create %1</translation>
    </message>
    <message>
        <source>Vídeo no grabado: disco lleno</source>
        <translation>Video not recorded: disk full</translation>
    </message>
    <message>
        <source>Vídeo detenido: disco casi lleno</source>
        <translation>Video stopped: disk almost full</translation>
    </message>
    <message>
        <source>Vídeo incompleto: disco lleno</source>
        <translation>Video incomplete: disk full</translation>
    </message>
    <message>
        <source>La imagen cambió de tamaño: el vídeo sigue en otro archivo</source>
        <translation>The picture changed size: the video goes on in another file</translation>
    </message>
    <message>
        <source>Vídeo incompleto: fallo del grabador</source>
        <translation>Video incomplete: recorder failure</translation>
    </message>
    <message>
        <source>Poco espacio en disco: quedan %1 s de vídeo</source>
        <translation>Low disk space: %1 s of video left</translation>
    </message>
    <message>
        <source>Vídeo: %1 fotogramas perdidos, el disco no da abasto</source>
        <translation>Video: %1 frames lost, the disk cannot keep up</translation>
    </message>
</context>
<context>
    <name>RemoteViewControl</name>
    <message>
        <source>Vista remota: no se puede escuchar en el puerto %1: %2</source>
        <translation>Remote view: cannot listen on port %1: %2</translation>
    </message>
    <message>
        <source>Vista remota: %1 · espectadores: %2</source>
        <translation>Remote view: %1 · viewers: %2</translation>
    </message>
</context>
<context>
    <name>Session</name>
    <message>
        <source>disco lleno</source>
        <translation>disk full</translation>
    </message>
    <message>
        <source>no se pudo escribir %1</source>
        <translation>could not write %1</translation>
    </message>
    <message>
        <source>Trabajo no abierto: falta el nombre</source>
        <translation>Job not opened: the name is missing</translation>
    </message>
    <message>
        <source>Trabajo no abierto: %1</source>
        <translation>Job not opened: %1</translation>
    </message>
    <message>
        <source>Trabajo: %1</source>
        <translation>Job: %1</translation>
    </message>
    <message>
        <source>Telemetría no guardada: %1</source>
        <translation>Telemetry not saved: %1</translation>
    </message>
    <message>
        <source>Observación no guardada: %1</source>
        <translation>Observation not saved: %1</translation>
    </message>
    <message>
        <source>Observación sin foto: %1</source>
        <translation>Observation without picture: %1</translation>
    </message>
    <message>
        <source>Observación guardada</source>
        <translation>Observation saved</translation>
    </message>
    <message>
        <source>Informe: no hay trabajo abierto</source>
        <translation>Report: no job open</translation>
    </message>
    <message>
        <source>Informe en preparación...</source>
        <translation>Preparing the report...</translation>
    </message>
</context>
<context>
    <name>SettingsStore</name>
    <message>
        <source>Error leyendo el valor &quot;%1&quot; de la configuración</source>
        <translation>Error reading the setting &quot;%1&quot;</translation>
    </message>
</context>
<context>
    <name>TArranque</name>
    <message>
        <source>© QUELMAR. Reservados todos los derechos. Robots Marlo 3 y Tervan.</source>
        <translation>© QUELMAR. All rights reserved. Marlo 3 and Tervan robots.</translation>
    </message>
</context>
<context>
    <name>TFAcerca</name>
    <message>
        <source>Acerca de ...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Marlo / Tervan
Software · versión 2.0</source>
        <translation>Marlo / Tervan
Software · version 2.0</translation>
    </message>
    <message>
        <source>Desarrollado por el departamento técnico de QUELMAR. Soporte: soporte@quelmar.es</source>
        <translation>Developed by the QUELMAR technical department. Support: soporte@quelmar.es</translation>
    </message>
</context>
<context>
    <name>TFConfigura</name>
    <message>
        <source>Datos puerto</source>
        <translation>Port settings</translation>
    </message>
    <message>
        <source>Configuración</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Puerto</source>
        <translation>Port</translation>
    </message>
    <message>
        <source>Retardo COM</source>
        <translation>COM delay</translation>
    </message>
    <message>
        <source>Intervalo Vídeo</source>
        <translation>Video interval</translation>
    </message>
    <message>
        <source>&quot;%1&quot; no es un número entero válido</source>
        <translation>&quot;%1&quot; is not a valid whole number</translation>
    </message>
</context>
<context>
    <name>TForm1</name>
    <message>
        <source>Marlo 3 y Tervan - Software de control y captura</source>
        <translation>Marlo 3 and Tervan - Control and capture software</translation>
    </message>
    <message>
        <source>Marlo 3 y Tervan 2007 V.2.0</source>
        <translation>Marlo 3 and Tervan 2007 V.2.0</translation>
    </message>
    <message>
        <source>SOFTWARE DE CONTROL Y CAPTURA</source>
        <translation>CONTROL AND CAPTURE SOFTWARE</translation>
    </message>
    <message>
        <source>Ventana de captura</source>
        <translation>Camera view</translation>
    </message>
    <message>
        <source>Doble clic para foto</source>
        <translation>Double-click to take a picture</translation>
    </message>
    <message>
        <source>Ventana de resultado</source>
        <translation>Processed view</translation>
    </message>
    <message>
        <source>Grabación</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Parar grabación</source>
        <translation>Stop recording</translation>
    </message>
    <message>
        <source>Angulo de giro Joystick</source>
        <translation>Joystick turn angle</translation>
    </message>
    <message>
        <source>Periodo de inversión (s)</source>
        <translation>Reversal period (s)</translation>
    </message>
    <message>
        <source>Motores</source>
        <translation>Motors</translation>
    </message>
    <message>
        <source>Luces</source>
        <translation>Lights</translation>
    </message>
    <message>
        <source>Activa cámara delantera</source>
        <translation>Switch to the front camera</translation>
    </message>
    <message>
        <source>Activa cámara trasera</source>
        <translation>Switch to the rear camera</translation>
    </message>
    <message>
        <source>Control cámara</source>
        <translation>Camera control</translation>
    </message>
    <message>
        <source>Balance</source>
        <translation>Balance</translation>
    </message>
    <message>
        <source>Nivel</source>
        <translation>Level</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
    <message>
        <source>Formato no guardado en la configuración</source>
        <translation>Format not saved in the settings</translation>
    </message>
    <message>
        <source>No se aplica a MP4</source>
        <translation>Does not apply to MP4</translation>
    </message>
    <message>
        <source>Registro del enlace no disponible: %1</source>
        <translation>Link log unavailable: %1</translation>
    </message>
    <message>
        <source>Sin joystick</source>
        <translation>No joystick</translation>
    </message>
    <message>
        <source>Sin conexión: no enviado</source>
        <translation>Not connected: not sent</translation>
    </message>
    <message>
        <source>Conectado</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Grabando</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Texto</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>Línea Mensaje</source>
        <translation>Message line</translation>
    </message>
    <message>
        <source>Foto no guardada: %1</source>
        <translation>Picture not saved: %1</translation>
    </message>
    <message>
        <source>Botón 1: Foto instantánea</source>
        <translation>Button 1: Take picture</translation>
    </message>
    <message>
        <source>Foto no guardada: sin nombre libre</source>
        <translation>Picture not saved: no free name</translation>
    </message>
    <message>
        <source>Botón 5: Secuencia de vídeo</source>
        <translation>Button 5: Start recording</translation>
    </message>
    <message>
        <source>Botón 5: Fin secuencia de vídeo</source>
        <translation>Button 5: Stop recording</translation>
    </message>
    <message>
        <source>%1 - Trabajo: %2</source>
        <translation>%1 - Job: %2</translation>
    </message>
    <message>
        <source>sin nombre libre</source>
        <translation>no free name</translation>
    </message>
    <message>
        <source>Imagen %1: no guardada en la configuración</source>
        <translation>Picture %1: not saved in the settings</translation>
    </message>
    <message>
        <source>Trabajo...</source>
        <translation>Job...</translation>
    </message>
    <message>
        <source>Informe del trabajo</source>
        <translation>Job report</translation>
    </message>
    <message>
        <source>Formato de vídeo</source>
        <translation>Video format</translation>
    </message>
    <message>
        <source>Imagen</source>
        <translation>Picture size</translation>
    </message>
    <message>
        <source>Vista remota</source>
        <translation>Remote view</translation>
    </message>
    <message>
        <source>El idioma cambiará en el próximo arranque</source>
        <translation>The language changes at the next start</translation>
    </message>
    <message>
        <source>Idioma no guardado en la configuración</source>
        <translation>Language not saved in the settings</translation>
    </message>
    <message>
        <source>Acerca de...</source>
        <translation>About...</translation>
    </message>
    <message>
        <source>Configuración</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Salir</source>
        <translation>Exit</translation>
    </message>
    <message>
        <source>Título</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>Compresión</source>
        <translation>Compression</translation>
    </message>
    <message>
        <source>Motor Limpieza</source>
        <translation>Cleaning motor</translation>
    </message>
    <message>
        <source>Modo Inversión</source>
        <translation>Reversal mode</translation>
    </message>
    <message>
        <source>Brazo activo</source>
        <translation>Arm active</translation>
    </message>
    <message>
        <source>Mostrar FPS</source>
        <translation>Show FPS</translation>
    </message>
    <message>
        <source>Mostrar Título</source>
        <translation>Show title</translation>
    </message>
    <message>
        <source>Mostrar ºC</source>
        <translation>Show ºC</translation>
    </message>
    <message>
        <source>Humedad</source>
        <translation>Humidity</translation>
    </message>
    <message>
        <source>Activación de efectos</source>
        <translation>Effects on</translation>
    </message>
    <message>
        <source>Canal Rojo  </source>
        <translation>Red channel  </translation>
    </message>
    <message>
        <source>Canal Verde</source>
        <translation>Green channel</translation>
    </message>
    <message>
        <source>Canal Azul  </source>
        <translation>Blue channel  </translation>
    </message>
    <message>
        <source>nativo</source>
        <translation>native</translation>
    </message>
    <message>
        <source>Logotipo del informe</source>
        <translation>Report logo</translation>
    </message>
    <message>
        <source>Imágenes (*.png *.jpg *.jpeg *.bmp)</source>
        <translation>Pictures (*.png *.jpg *.jpeg *.bmp)</translation>
    </message>
    <message>
        <source>Logotipo del informe no guardado en la configuración</source>
        <translation>Report logo not saved in the settings</translation>
    </message>
    <message>
        <source>Logotipo del informe...</source>
        <translation>Report logo...</translation>
    </message>
    <message>
        <source>Quitar el logotipo del informe</source>
        <translation>Remove the report logo</translation>
    </message>
</context>
<context>
    <name>Telemetry</name>
    <message>
        <source>HR: %1 T.: %2</source>
        <translation>RH: %1 T: %2</translation>
    </message>
</context>
<context>
    <name>Texts</name>
    <message>
        <source>Error</source>
        <translation>Error</translation>
    </message>
</context>
<context>
    <name>TrafficRecord</name>
    <message>
        <source>la carpeta es un archivo</source>
        <translation>the folder is a file</translation>
    </message>
    <message>
        <source>sin permiso de escritura</source>
        <translation>no write permission</translation>
    </message>
    <message>
        <source>disco de solo lectura</source>
        <translation>read-only disk</translation>
    </message>
    <message>
        <source>disco lleno</source>
        <translation>disk full</translation>
    </message>
    <message>
        <source>error de escritura</source>
        <translation>write error</translation>
    </message>
</context>
<context>
    <name>Worker</name>
    <message>
        <source>error desconocido</source>
        <translation>unknown error</translation>
    </message>
</context>
<context>
    <name>job::Finding</name>
    <message>
        <source>Limpio</source>
        <translation>Clean</translation>
    </message>
    <message>
        <source>Polvo</source>
        <translation>Dust</translation>
    </message>
    <message>
        <source>Residuos</source>
        <translation>Debris</translation>
    </message>
    <message>
        <source>Grasa</source>
        <translation>Grease</translation>
    </message>
    <message>
        <source>Crecimiento biológico</source>
        <translation>Biological growth</translation>
    </message>
    <message>
        <source>Daño</source>
        <translation>Damage</translation>
    </message>
    <message>
        <source>Obstrucción</source>
        <translation>Obstruction</translation>
    </message>
    <message>
        <source>Otro</source>
        <translation>Other</translation>
    </message>
</context>
<context>
    <name>job::JobDialog</name>
    <message>
        <source>Aceptar</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>Cancelar</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Trabajo</source>
        <translation>Job</translation>
    </message>
    <message>
        <source>Obra:</source>
        <translation>Site:</translation>
    </message>
    <message>
        <source>Tramo o conducto:</source>
        <translation>Section or duct:</translation>
    </message>
    <message>
        <source>Cliente:</source>
        <translation>Client:</translation>
    </message>
    <message>
        <source>Dirección:</source>
        <translation>Address:</translation>
    </message>
    <message>
        <source>Operador:</source>
        <translation>Operator:</translation>
    </message>
    <message>
        <source>Robot:</source>
        <translation>Robot:</translation>
    </message>
    <message>
        <source>Número de serie:</source>
        <translation>Serial number:</translation>
    </message>
</context>
<context>
    <name>job::NoteDialog</name>
    <message>
        <source>Observación</source>
        <translation>Observation</translation>
    </message>
    <message>
        <source>&amp;Sin marca</source>
        <translation>&amp;No mark</translation>
    </message>
    <message>
        <source>&amp;Antes de limpiar</source>
        <translation>&amp;Before cleaning</translation>
    </message>
    <message>
        <source>&amp;Después de limpiar</source>
        <translation>A&amp;fter cleaning</translation>
    </message>
    <message>
        <source>Sin hallazgo</source>
        <translation>No finding</translation>
    </message>
    <message>
        <source>Nota:</source>
        <translation>Note:</translation>
    </message>
    <message>
        <source>Ubicación:</source>
        <translation>Location:</translation>
    </message>
    <message>
        <source>Hallazgo:</source>
        <translation>Finding:</translation>
    </message>
    <message>
        <source>Gravedad:</source>
        <translation>Severity:</translation>
    </message>
</context>
<context>
    <name>job::Observation</name>
    <message>
        <source>antes</source>
        <translation>before</translation>
    </message>
    <message>
        <source>después</source>
        <translation>after</translation>
    </message>
    <message>
        <source>Ubicación</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>Hallazgo</source>
        <translation>Finding</translation>
    </message>
    <message>
        <source>Gravedad</source>
        <translation>Severity</translation>
    </message>
</context>
<context>
    <name>job::Report</name>
    <message>
        <source>un enlace fuera de su carpeta</source>
        <translation>a link out of its folder</translation>
    </message>
    <message>
        <source>más de %1 puntos de lado</source>
        <translation>more than %1 points a side</translation>
    </message>
    <message>
        <source>Foto ilegible: %1</source>
        <translation>Unreadable picture: %1</translation>
    </message>
    <message>
        <source>Fin</source>
        <translation>End</translation>
    </message>
    <message>
        <source>Resumen</source>
        <translation>Summary</translation>
    </message>
    <message>
        <source>Hallazgo</source>
        <translation>Finding</translation>
    </message>
    <message>
        <source>Observaciones</source>
        <translation>Observations</translation>
    </message>
    <message>
        <source>Ubicación</source>
        <translation>Location</translation>
    </message>
    <message>
        <source>Hallazgos</source>
        <translation>Findings</translation>
    </message>
    <message>
        <source>Pares antes y después</source>
        <translation>Before and after pairs</translation>
    </message>
    <message>
        <source>(sin ubicación)</source>
        <translation>(no location)</translation>
    </message>
    <message>
        <source>Pares antes y después: %1</source>
        <translation>Before and after pairs: %1</translation>
    </message>
    <message>
        <source>Logotipo rechazado: %1</source>
        <translation>Logo refused: %1</translation>
    </message>
    <message>
        <source>Página %1 de %2</source>
        <translation>Page %1 of %2</translation>
    </message>
    <message>
        <source>no existe</source>
        <translation>does not exist</translation>
    </message>
    <message>
        <source>fuera de la carpeta del trabajo</source>
        <translation>outside the job&apos;s folder</translation>
    </message>
    <message>
        <source>no es un archivo normal</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>más de %1 MB</source>
        <translation>more than %1 MB</translation>
    </message>
    <message>
        <source>no se puede leer</source>
        <translation>cannot be read</translation>
    </message>
    <message>
        <source> y %1 más</source>
        <translation> and %1 more</translation>
    </message>
    <message>
        <source>no es una imagen</source>
        <translation>not a picture</translation>
    </message>
    <message>
        <source>sin grabación</source>
        <translation>no recording</translation>
    </message>
    <message>
        <source>%1, a los %2</source>
        <translation>%1, at %2</translation>
    </message>
    <message>
        <source>Foto rechazada: %1</source>
        <translation>Picture refused: %1</translation>
    </message>
    <message>
        <source>ANTES</source>
        <translation>BEFORE</translation>
    </message>
    <message>
        <source>DESPUÉS</source>
        <translation>AFTER</translation>
    </message>
    <message>
        <source>(sin nota)</source>
        <translation>(no note)</translation>
    </message>
    <message>
        <source>Ubicación: %1</source>
        <translation>Location: %1</translation>
    </message>
    <message>
        <source>Hallazgo: %1 &amp;middot; Gravedad: %2</source>
        <translation>Finding: %1 &amp;middot; Severity: %2</translation>
    </message>
    <message>
        <source>Informe de inspección</source>
        <translation>Inspection report</translation>
    </message>
    <message>
        <source>Trabajo</source>
        <translation>Job</translation>
    </message>
    <message>
        <source>Cliente</source>
        <translation>Client</translation>
    </message>
    <message>
        <source>Dirección</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Operador</source>
        <translation>Operator</translation>
    </message>
    <message>
        <source>Robot</source>
        <translation>Robot</translation>
    </message>
    <message>
        <source>Número de serie</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Fecha</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Inicio</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>Duración</source>
        <translation>Duration</translation>
    </message>
    <message>
        <source>Grabaciones</source>
        <translation>Recordings</translation>
    </message>
    <message>
        <source>Omitido en este informe</source>
        <translation>Left out of this report</translation>
    </message>
    <message>
        <source>Ninguna grabación.</source>
        <translation>No recordings.</translation>
    </message>
    <message>
        <source>Archivo</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Imágenes</source>
        <translation>Frames</translation>
    </message>
    <message>
        <source>Ninguna observación.</source>
        <translation>No observations.</translation>
    </message>
    <message>
        <source>Antes</source>
        <translation>Before</translation>
    </message>
    <message>
        <source>Después</source>
        <translation>After</translation>
    </message>
    <message>
        <source>Antes y después de la limpieza</source>
        <translation>Before and after cleaning</translation>
    </message>
    <message>
        <source>Temperatura y humedad</source>
        <translation>Temperature and humidity</translation>
    </message>
    <message>
        <source>Filas ilegibles omitidas: %1</source>
        <translation>Unreadable rows left out: %1</translation>
    </message>
    <message>
        <source>Observaciones ilegibles: </source>
        <translation>Unreadable observations: </translation>
    </message>
    <message>
        <source>Observaciones no incluidas: %1 (el informe muestra las primeras %2)</source>
        <translation>Observations not included: %1 (the report shows the first %2)</translation>
    </message>
    <message>
        <source>Fotos rechazadas</source>
        <translation>Pictures refused</translation>
    </message>
    <message>
        <source>Grabaciones ilegibles</source>
        <translation>Unreadable recordings</translation>
    </message>
    <message>
        <source>Tablas ilegibles</source>
        <translation>Unreadable tables</translation>
    </message>
    <message>
        <source>Temperatura (ºC)</source>
        <translation>Temperature (ºC)</translation>
    </message>
    <message>
        <source>Humedad (%)</source>
        <translation>Humidity (%)</translation>
    </message>
    <message>
        <source>Informe no escrito: </source>
        <translation>Report not written: </translation>
    </message>
    <message>
        <source>Informe escrito: </source>
        <translation>Report written: </translation>
    </message>
    <message>
        <source>%1 no existe</source>
        <translation>%1 does not exist</translation>
    </message>
    <message>
        <source>Informe: %1</source>
        <translation>Report: %1</translation>
    </message>
    <message>
        <source>Fotos ilegibles</source>
        <translation>Unreadable pictures</translation>
    </message>
</context>
<context>
    <name>platform::CameraPageDialog</name>
    <message>
        <source>Brillo</source>
        <translation>Brightness</translation>
    </message>
    <message>
        <source>Contraste</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>Saturación</source>
        <translation>Saturation</translation>
    </message>
    <message>
        <source>Tono</source>
        <translation>Hue</translation>
    </message>
    <message>
        <source>Ganancia</source>
        <translation>Gain</translation>
    </message>
    <message>
        <source>Exposición</source>
        <translation>Exposure</translation>
    </message>
    <message>
        <source>Ancho</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>Alto</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>Imágenes por segundo</source>
        <translation>Pictures per second</translation>
    </message>
    <message>
        <source>Propiedades de la cámara</source>
        <translation>Camera properties</translation>
    </message>
    <message>
        <source>Formato de vídeo</source>
        <translation>Video format</translation>
    </message>
</context>
<context>
    <name>platform::SelectCameraDialog</name>
    <message>
        <source>Añadir fuente...</source>
        <translation>Add source...</translation>
    </message>
    <message>
        <source>Añadir fuente</source>
        <translation>Add source</translation>
    </message>
    <message>
        <source>Archivo de vídeo, dirección de red o &quot;test&quot; (&quot;test:1280x720&quot;)</source>
        <translation>Video file, network address or &quot;test&quot; (&quot;test:1280x720&quot;)</translation>
    </message>
</context>
<context>
    <name>remote::RemoteView</name>
    <message>
        <source>Vista remota: no se pudo preparar la imagen</source>
        <translation>Remote view: the picture could not be prepared</translation>
    </message>
    <message>
        <source>está en uso por otro programa</source>
        <translation>is in use by another program</translation>
    </message>
    <message>
        <source>no hay permiso para usarlo</source>
        <translation>there is no permission to use it</translation>
    </message>
    <message>
        <source>la dirección no es de este equipo</source>
        <translation>the address is not of this machine</translation>
    </message>
    <message>
        <source>Vista remota</source>
        <translation>Remote view</translation>
    </message>
    <message>
        <source>Trabajo:</source>
        <translation>Job:</translation>
    </message>
    <message>
        <source>Enlace:</source>
        <translation>Link:</translation>
    </message>
    <message>
        <source>Temperatura:</source>
        <translation>Temperature:</translation>
    </message>
    <message>
        <source>Humedad:</source>
        <translation>Humidity:</translation>
    </message>
    <message>
        <source>Imagen del robot</source>
        <translation>Picture from the robot</translation>
    </message>
    <message>
        <source>Observaciones</source>
        <translation>Observations</translation>
    </message>
    <message>
        <source>Código no válido</source>
        <translation>Wrong code</translation>
    </message>
    <message>
        <source>Sin respuesta</source>
        <translation>No answer</translation>
    </message>
    <message>
        <source>Sin grabar</source>
        <translation>Not recording</translation>
    </message>
    <message>
        <source>Grabando</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Consola:</source>
        <translation>Console:</translation>
    </message>
</context>
</TS>
