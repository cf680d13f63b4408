<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>Calculator</name>
    <message>
        <source>Calculator</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>Battery capacity</source>
        <translation>Battery capacity</translation>
    </message>
    <message>
        <source>mAh</source>
        <translation>mAh</translation>
    </message>
    <message>
        <source>Averaging current</source>
        <translation>Averaging current</translation>
    </message>
    <message>
        <source>By markers</source>
        <translation>By markers</translation>
    </message>
    <message>
        <source>-- : --</source>
        <translation>-- : --</translation>
    </message>
    <message>
        <source>--- mA</source>
        <translation>--- mA</translation>
    </message>
    <message>
        <source>In visible area</source>
        <translation>In visible area</translation>
    </message>
    <message>
        <source>The whole measurement period</source>
        <translation>The whole measurement period</translation>
    </message>
    <message>
        <source>By working cycle, sec</source>
        <translation>By working cycle, sec</translation>
    </message>
    <message>
        <source>1</source>
        <translation>1</translation>
    </message>
    <message>
        <source>User defined, mA</source>
        <translation>User defined, mA</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>Calculate</translation>
    </message>
    <message>
        <source>Battery life</source>
        <translation>Battery life</translation>
    </message>
    <message>
        <source>The battery too low</source>
        <translation>The battery too low</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>Empty measurements log.</source>
        <translation>Empty measurements log.</translation>
    </message>
    <message>
        <source>Wrong value</source>
        <translation>Wrong value</translation>
    </message>
    <message>
        <source>Too long working cycle. Only </source>
        <translation>Too long working cycle. Only </translation>
    </message>
    <message>
        <source> sec available</source>
        <translation> sec available</translation>
    </message>
    <message>
        <source>Markers too close</source>
        <translation>Markers too close</translation>
    </message>
    <message>
        <source>Markers are not visible, check their position</source>
        <translation>Markers are not visible, check their position</translation>
    </message>
    <message>
        <source>%1 years, </source>
        <translation>%1 years, </translation>
    </message>
    <message>
        <source>%1 months, </source>
        <translation>%1 months, </translation>
    </message>
    <message>
        <source>%1 days, </source>
        <translation>%1 days, </translation>
    </message>
    <message>
        <source>%1 hours, </source>
        <translation>%1 hours, </translation>
    </message>
    <message>
        <source>%1 minutes, </source>
        <translation>%1 minutes, </translation>
    </message>
    <message>
        <source>%1 seconds, </source>
        <translation>%1 seconds, </translation>
    </message>
    <message>
        <source>The battery is too low  </source>
        <translation>The battery is too low  </translation>
    </message>
    <message>
        <source>No estimate for this current</source>
        <translation>No estimate for this current</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Data logger for the TOVRI USB current/voltage logger and the Kelvaro Power V1/V2 bench supplies.</source>
        <translation>Data logger for the TOVRI USB current/voltage logger and the Kelvaro Power V1/V2 bench supplies.</translation>
    </message>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>Displays help on commandline options.</translation>
    </message>
    <message>
        <source>Developer mode (has no further effect).</source>
        <translation>Developer mode (has no further effect).</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Unexpected argument &apos;%1&apos;.</translation>
    </message>
</context>
<context>
    <name>ControlPanel</name>
    <message>
        <source>Control</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>Power output config</source>
        <translation>Power output config</translation>
    </message>
    <message>
        <source>Permanent</source>
        <translation>Permanent</translation>
    </message>
    <message>
        <source>Delayed</source>
        <translation>Delayed</translation>
    </message>
    <message>
        <source>TOVRI starts sampling then swith power ON after the first 10 samples. This option is for DUT startups sequences profiling</source>
        <translation>TOVRI starts sampling then swith power ON after the first 10 samples. This option is for DUT startups sequences profiling</translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Off</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Set</translation>
    </message>
    <message>
        <source>1800 mV</source>
        <translation>1800 mV</translation>
    </message>
    <message>
        <source>color:red</source>
        <translation>color:red</translation>
    </message>
    <message>
        <source>Set output voltage(mv)</source>
        <translation>Set output voltage(mv)</translation>
    </message>
    <message>
        <source>Switch Vin</source>
        <translation>Switch Vin</translation>
    </message>
    <message>
        <source>Vbat -&gt; Vin</source>
        <translation>Vbat -&gt; Vin</translation>
    </message>
    <message>
        <source>Using internal LiIon battery as a power source.
Choose this option if the peak current consumption can be more than 500mA</source>
        <translation>Using internal LiIon battery as a power source.
Choose this option if the peak current consumption can be more than 500mA</translation>
    </message>
    <message>
        <source>Vusb -&gt; Vin</source>
        <translation>Vusb -&gt; Vin</translation>
    </message>
    <message>
        <source>Using USB as a power source.
Choose this option to examine devices consuming less than 500mA</source>
        <translation>Using USB as a power source.
Choose this option to examine devices consuming less than 500mA</translation>
    </message>
    <message>
        <source>Apply sync related to</source>
        <translation>Apply sync related to</translation>
    </message>
    <message>
        <source>TRIG</source>
        <translation>TRIG</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Logging</translation>
    </message>
    <message>
        <source>Sync delay(ms) </source>
        <translation>Sync delay(ms) </translation>
    </message>
    <message>
        <source>Reset errors</source>
        <translation>Reset errors</translation>
    </message>
    <message>
        <source>Applying power source profile</source>
        <translation>Applying power source profile</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Sample rate</source>
        <translation>Sample rate</translation>
    </message>
    <message>
        <source>Custom (100us units)</source>
        <translation>Custom (100us units)</translation>
    </message>
    <message>
        <source>(-.--- kHz)</source>
        <translation>(-.--- kHz)</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>Multiplier</source>
        <translation>Multiplier</translation>
    </message>
    <message>
        <source>#1</source>
        <translation>#1</translation>
    </message>
    <message>
        <source>#2</source>
        <translation>#2</translation>
    </message>
    <message>
        <source>Start by Trig Edge</source>
        <translation>Start by Trig Edge</translation>
    </message>
    <message>
        <source>Delay(ms)</source>
        <translation>Delay(ms)</translation>
    </message>
    <message>
        <source>Log by Trig Gate</source>
        <translation>Log by Trig Gate</translation>
    </message>
    <message>
        <source>Start measurements</source>
        <translation>Start measurements</translation>
    </message>
    <message>
        <source>Stop measurements</source>
        <translation>Stop measurements</translation>
    </message>
    <message>
        <source> mV</source>
        <translation> mV</translation>
    </message>
    <message>
        <source>Battery LOW</source>
        <translation>Battery LOW</translation>
    </message>
    <message>
        <source>Error details</source>
        <translation>Error details</translation>
    </message>
    <message>
        <source>Restore fault.
Channels calibration values are lost.
</source>
        <translation>Restore fault.
Channels calibration values are lost.
</translation>
    </message>
    <message>
        <source>Lost of data is detected
</source>
        <translation>Lost of data is detected
</translation>
    </message>
    <message>
        <source>Power converter communication error
</source>
        <translation>Power converter communication error
</translation>
    </message>
    <message>
        <source>Power converter can not not provide output voltage requlation
</source>
        <translation>Power converter can not not provide output voltage requlation
</translation>
    </message>
    <message>
        <source>Power converter thermal shutdown
</source>
        <translation>Power converter thermal shutdown
</translation>
    </message>
    <message>
        <source>Low battery voltage is detected. 
</source>
        <translation>Low battery voltage is detected. 
</translation>
    </message>
    <message>
        <source>Load power is disabled
</source>
        <translation>Load power is disabled
</translation>
    </message>
    <message>
        <source>Load power is switched to Vusb.
</source>
        <translation>Load power is switched to Vusb.
</translation>
    </message>
    <message>
        <source>All power supplies were disconnected from DUT  due overcurrent.
</source>
        <translation>All power supplies were disconnected from DUT  due overcurrent.
</translation>
    </message>
    <message>
        <source>Vbat supply was disconnected from DUT, battery is low.
</source>
        <translation>Vbat supply was disconnected from DUT, battery is low.
</translation>
    </message>
    <message>
        <source>1.Remove reason for high current.
</source>
        <translation>1.Remove reason for high current.
</translation>
    </message>
    <message>
        <source>2.Select and APPLY proper power source(Vusb or Vbat).
</source>
        <translation>2.Select and APPLY proper power source(Vusb or Vbat).
</translation>
    </message>
    <message>
        <source>3.Select and SET  proper Power config.
</source>
        <translation>3.Select and SET  proper Power config.
</translation>
    </message>
    <message>
        <source>4.Press button &quot;Reset errors&quot;.
</source>
        <translation>4.Press button &quot;Reset errors&quot;.
</translation>
    </message>
    <message>
        <source>5.Now device is ready to work again.</source>
        <translation>5.Now device is ready to work again.</translation>
    </message>
    <message>
        <source>(one channel only)</source>
        <translation>(one channel only)</translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <source>The update server named no download link.</source>
        <translation>The update server named no download link.</translation>
    </message>
    <message>
        <source>Refused the address &quot;%1&quot;: only https links are accepted.</source>
        <translation>Refused the address &quot;%1&quot;: only https links are accepted.</translation>
    </message>
    <message>
        <source>The update server redirected to &quot;%1&quot;: only https links are accepted.</source>
        <translation>The update server redirected to &quot;%1&quot;: only https links are accepted.</translation>
    </message>
    <message>
        <source>The reply is too large (%1 bytes).</source>
        <translation>The reply is too large (%1 bytes).</translation>
    </message>
    <message>
        <source>The reply is too large (more than %1 bytes).</source>
        <translation>The reply is too large (more than %1 bytes).</translation>
    </message>
    <message>
        <source>The update server did not answer in time.</source>
        <translation>The update server did not answer in time.</translation>
    </message>
    <message>
        <source>The download was cancelled.</source>
        <translation>The download was cancelled.</translation>
    </message>
    <message>
        <source>The update server answered with status %1.</source>
        <translation>The update server answered with status %1.</translation>
    </message>
    <message>
        <source>Server does not have firmware file.</source>
        <translation>Server does not have firmware file.</translation>
    </message>
    <message>
        <source>The update server&apos;s reply could not be read (line %1, column %2).</source>
        <translation>The update server&apos;s reply could not be read (line %1, column %2).</translation>
    </message>
    <message>
        <source>The update server&apos;s reply names no version.</source>
        <translation>The update server&apos;s reply names no version.</translation>
    </message>
    <message>
        <source>The update server&apos;s reply names no valid version.</source>
        <translation>The update server&apos;s reply names no valid version.</translation>
    </message>
    <message>
        <source>The update server&apos;s reply names an unsafe link: only https links are accepted.</source>
        <translation>The update server&apos;s reply names an unsafe link: only https links are accepted.</translation>
    </message>
</context>
<context>
    <name>GLWidget</name>
    <message>
        <source>Channels: %1 Sample rate: %2 Hz</source>
        <translation>Channels: %1 Sample rate: %2 Hz</translation>
    </message>
    <message>
        <source>Channels: %1 Sample rate: %2%3</source>
        <translation>Channels: %1 Sample rate: %2%3</translation>
    </message>
    <message>
        <source>, Measurement time: %3</source>
        <translation>, Measurement time: %3</translation>
    </message>
</context>
<context>
    <name>HidDevice</name>
    <message>
        <source>access denied or device busy</source>
        <translation>access denied or device busy</translation>
    </message>
    <message>
        <source>Writing to the device failed.</source>
        <translation>Writing to the device failed.</translation>
    </message>
    <message>
        <source>Firmware file too short.</source>
        <translation>Firmware file too short.</translation>
    </message>
    <message>
        <source>Device not found.</source>
        <translation>Device not found.</translation>
    </message>
    <message>
        <source>The device could not be switched into its bootloader: %1</source>
        <translation>The device could not be switched into its bootloader: %1</translation>
    </message>
    <message>
        <source>The bootloader did not appear.</source>
        <translation>The bootloader did not appear.</translation>
    </message>
    <message>
        <source>Bootloader returns ERROR.</source>
        <translation>Bootloader returns ERROR.</translation>
    </message>
    <message>
        <source>Firmware file cannot be read.</source>
        <translation>Firmware file cannot be read.</translation>
    </message>
    <message>
        <source>The bootloader did not confirm the firmware.</source>
        <translation>The bootloader did not confirm the firmware.</translation>
    </message>
    <message>
        <source>The bootloader did not answer.</source>
        <translation>The bootloader did not answer.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>TOVRI Logger</source>
        <translation>TOVRI Logger</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>toolBar</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Control</translation>
    </message>
    <message>
        <source>Attention! The current has exceeded 1A.</source>
        <translation>Attention! The current has exceeded 1A.</translation>
    </message>
    <message>
        <source>A new software version is available. Go to Settings to update.</source>
        <translation>A new software version is available. Go to Settings to update.</translation>
    </message>
    <message>
        <source>A new firmware version is available. Go to Settings to update.</source>
        <translation>A new firmware version is available. Go to Settings to update.</translation>
    </message>
    <message>
        <source>Time: </source>
        <translation>Time: </translation>
    </message>
    <message>
        <source>Time, sec: </source>
        <translation>Time, sec: </translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>View</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Show </source>
        <translation>Show </translation>
    </message>
    <message>
        <source>TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds</source>
        <translation>TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds</translation>
    </message>
    <message>
        <source>Custom: </source>
        <translation>Custom: </translation>
    </message>
    <message>
        <source>sec</source>
        <translation>sec</translation>
    </message>
    <message>
        <source>Show Report</source>
        <translation>Show Report</translation>
    </message>
    <message>
        <source>Hide Markers</source>
        <translation>Hide Markers</translation>
    </message>
    <message>
        <source>Show Markers</source>
        <translation>Show Markers</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Calculator</translation>
    </message>
    <message>
        <source>Measuring time,sec </source>
        <translation>Measuring time,sec </translation>
    </message>
    <message>
        <source>Stop measurements after the specified number of seconds</source>
        <translation>Stop measurements after the specified number of seconds</translation>
    </message>
    <message>
        <source>Hide Report</source>
        <translation>Hide Report</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Time, sec</source>
        <translation>Time, sec</translation>
    </message>
    <message>
        <source>FAILED to start measuring: </source>
        <translation>FAILED to start measuring: </translation>
    </message>
    <message>
        <source>Device connected</source>
        <translation>Device connected</translation>
    </message>
    <message>
        <source>Device disconnected</source>
        <translation>Device disconnected</translation>
    </message>
    <message>
        <source>Capture </source>
        <translation>Capture </translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>%1 is not saved. Want to save it before closing?</source>
        <translation>%1 is not saved. Want to save it before closing?</translation>
    </message>
    <message>
        <source>Close tabs to the left</source>
        <translation>Close tabs to the left</translation>
    </message>
    <message>
        <source>Close tabs to the right</source>
        <translation>Close tabs to the right</translation>
    </message>
    <message>
        <source>Close all tabs</source>
        <translation>Close all tabs</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>kHz</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>Not all measurements are saved. Do you want to save them?</source>
        <translation>Not all measurements are saved. Do you want to save them?</translation>
    </message>
    <message>
        <source>At least one channel should be selected.</source>
        <translation>At least one channel should be selected.</translation>
    </message>
    <message>
        <source>The capture file cannot be created in %1</source>
        <translation>The capture file cannot be created in %1</translation>
    </message>
    <message>
        <source>The capture file cannot be written: %1</source>
        <translation>The capture file cannot be written: %1</translation>
    </message>
    <message>
        <source>The start command could not be sent to the logger: %1</source>
        <translation>The start command could not be sent to the logger: %1</translation>
    </message>
    <message>
        <source>The stop command could not be sent to the logger: %1</source>
        <translation>The stop command could not be sent to the logger: %1</translation>
    </message>
    <message>
        <source>The link was opened again and the logger told to stop</source>
        <translation>The link was opened again and the logger told to stop</translation>
    </message>
    <message>
        <source>The log command could not be sent to the supply: %1</source>
        <translation>The log command could not be sent to the supply: %1</translation>
    </message>
    <message>
        <source>The supply refused the log: %1</source>
        <translation>The supply refused the log: %1</translation>
    </message>
    <message>
        <source>Logging...</source>
        <translation>Logging...</translation>
    </message>
    <message>
        <source>Channel #%1 records nothing: the logger has not described it. Stop, then unplug and plug the logger back.</source>
        <translation>Channel #%1 records nothing: the logger has not described it. Stop, then unplug and plug the logger back.</translation>
    </message>
    <message>
        <source>The file was not opened: its read was cancelled.</source>
        <translation>The file was not opened: its read was cancelled.</translation>
    </message>
    <message>
        <source>The stop command could not be sent to the supply: %1</source>
        <translation>The stop command could not be sent to the supply: %1</translation>
    </message>
    <message>
        <source>Unfinished captures (*.tmp)</source>
        <translation>Unfinished captures (*.tmp)</translation>
    </message>
    <message>
        <source>An unfinished capture was found: %1. Open it to review or save it.</source>
        <translation>An unfinished capture was found: %1. Open it to review or save it.</translation>
    </message>
    <message>
        <source>Unfinished captures were found in %1 (%2 files). Open them to review or save them.</source>
        <translation>Unfinished captures were found in %1 (%2 files). Open them to review or save them.</translation>
    </message>
    <message>
        <source>the command does not begin with LOG</source>
        <translation>the command does not begin with LOG</translation>
    </message>
    <message>
        <source>the command names no channel</source>
        <translation>the command names no channel</translation>
    </message>
    <message>
        <source>the rate must be 1 to %1 records per second</source>
        <translation>the rate must be 1 to %1 records per second</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no further channel of this supply</source>
        <translation>&quot;%1&quot; names no further channel of this supply</translation>
    </message>
    <message>
        <source>a log takes at most %1 channels</source>
        <translation>a log takes at most %1 channels</translation>
    </message>
    <message>
        <source>no power supply is connected</source>
        <translation>no power supply is connected</translation>
    </message>
    <message>
        <source>The log cannot start: %1.</source>
        <translation>The log cannot start: %1.</translation>
    </message>
    <message>
        <source>The log cannot start: its tab does not fit the channels.</source>
        <translation>The log cannot start: its tab does not fit the channels.</translation>
    </message>
    <message>
        <source>Couldn&apos;t save file: %1</source>
        <translation>Couldn&apos;t save file: %1</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Saved</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Open file</translation>
    </message>
    <message>
        <source>The file is corrupted or in the wrong format</source>
        <translation>The file is corrupted or in the wrong format</translation>
    </message>
    <message>
        <source>Loaded</source>
        <translation>Loaded</translation>
    </message>
    <message>
        <source>Loaded a damaged or unfinished capture: %1 records kept, %2 bytes dropped</source>
        <translation>Loaded a damaged or unfinished capture: %1 records kept, %2 bytes dropped</translation>
    </message>
    <message>
        <source>Viewing interval limited to %1 s: at this sample rate a longer one would hold more than 2 million points per channel</source>
        <translation>Viewing interval limited to %1 s: at this sample rate a longer one would hold more than 2 million points per channel</translation>
    </message>
    <message>
        <source>Enter value</source>
        <translation>Enter value</translation>
    </message>
    <message>
        <source>Viewing interval, sec </source>
        <translation>Viewing interval, sec </translation>
    </message>
    <message>
        <source>Wait until the capture being read is done.</source>
        <translation>Wait until the capture being read is done.</translation>
    </message>
    <message>
        <source>%1 was not saved: its tab was closed meanwhile.</source>
        <translation>%1 was not saved: its tab was closed meanwhile.</translation>
    </message>
    <message>
        <source>%1 was not saved. Do you want to save it?</source>
        <translation>%1 was not saved. Do you want to save it?</translation>
    </message>
    <message>
        <source>Answer the question about closing %1 first.</source>
        <translation>Answer the question about closing %1 first.</translation>
    </message>
    <message>
        <source>Answer the question about saving the captures first.</source>
        <translation>Answer the question about saving the captures first.</translation>
    </message>
    <message>
        <source>Finish saving %1 first.</source>
        <translation>Finish saving %1 first.</translation>
    </message>
    <message>
        <source>The file was not opened: its tab was closed while it was read.</source>
        <translation>The file was not opened: its tab was closed while it was read.</translation>
    </message>
    <message>
        <source>The file holds no samples</source>
        <translation>The file holds no samples</translation>
    </message>
    <message>
        <source>Measuring...</source>
        <translation>Measuring...</translation>
    </message>
    <message>
        <source>The capture ended at its measuring time of %1 s.</source>
        <translation>The capture ended at its measuring time of %1 s.</translation>
    </message>
    <message>
        <source> - no device connected</source>
        <translation> - no device connected</translation>
    </message>
    <message>
        <source>Save file</source>
        <translation>Save file</translation>
    </message>
    <message>
        <source>No device connected. Connect a TOVRI logger or a Kelvaro power supply, or open a capture file.</source>
        <translation>No device connected. Connect a TOVRI logger or a Kelvaro power supply, or open a capture file.</translation>
    </message>
    <message>
        <source>A Kelvaro Power V2 is connected. This program does not serve it live; its log files open as usual with Open.</source>
        <translation>A Kelvaro Power V2 is connected. This program does not serve it live; its log files open as usual with Open.</translation>
    </message>
    <message>
        <source>The device was found but cannot be opened: %1. To allow it, install the program with &quot;cmake --install&quot;, which adds the udev rule 70-tovri.rules, run &quot;udevadm control --reload-rules &amp;&amp; udevadm trigger&quot; as root and plug the device in again; or run the program from the logged-in local seat.</source>
        <translation>The device was found but cannot be opened: %1. To allow it, install the program with &quot;cmake --install&quot;, which adds the udev rule 70-tovri.rules, run &quot;udevadm control --reload-rules &amp;&amp; udevadm trigger&quot; as root and plug the device in again; or run the program from the logged-in local seat.</translation>
    </message>
    <message>
        <source>instrument in its bootloader, firmware needed</source>
        <translation>instrument in its bootloader, firmware needed</translation>
    </message>
    <message>
        <source>no device connected</source>
        <translation>no device connected</translation>
    </message>
    <message>
        <source>The instrument is in its bootloader and needs firmware. Write it from Settings, on the Update page.</source>
        <translation>The instrument is in its bootloader and needs firmware. Write it from Settings, on the Update page.</translation>
    </message>
</context>
<context>
    <name>MarkerBar</name>
    <message>
        <source>Length: </source>
        <translation>Length: </translation>
    </message>
    <message>
        <source>Marker&apos;s color</source>
        <translation>Marker&apos;s color</translation>
    </message>
</context>
<context>
    <name>NavigationBar</name>
    <message>
        <source>Form</source>
        <translation>Form</translation>
    </message>
    <message>
        <source>Sets extreme values to display them on the navigation panel</source>
        <translation>Sets extreme values to display them on the navigation panel</translation>
    </message>
    <message>
        <source>Click the sample of interest for direct access to the time window containing this sample</source>
        <translation>Click the sample of interest for direct access to the time window containing this sample</translation>
    </message>
</context>
<context>
    <name>NavigationSettings</name>
    <message>
        <source>Decimation</source>
        <translation>Decimation</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Channel</translation>
    </message>
    <message>
        <source>#0</source>
        <translation>#0</translation>
    </message>
    <message>
        <source>#1</source>
        <translation>#1</translation>
    </message>
    <message>
        <source>#2</source>
        <translation>#2</translation>
    </message>
    <message>
        <source>Threshold</source>
        <translation>Threshold</translation>
    </message>
    <message>
        <source>mA</source>
        <translation>mA</translation>
    </message>
    <message>
        <source>mV</source>
        <translation>mV</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Settings</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Appearance</translation>
    </message>
    <message>
        <source>Color theme</source>
        <translation>Color theme</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Dark</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Light</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Language</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Colors</translation>
    </message>
    <message>
        <source>Charts background</source>
        <translation>Charts background</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>#0</source>
        <translation>#0</translation>
    </message>
    <message>
        <source>#1</source>
        <translation>#1</translation>
    </message>
    <message>
        <source>#2</source>
        <translation>#2</translation>
    </message>
    <message>
        <source>Apply to</source>
        <translation>Apply to</translation>
    </message>
    <message>
        <source>All</source>
        <translation>All</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Chart</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Report</translation>
    </message>
    <message>
        <source>Mouse hint</source>
        <translation>Mouse hint</translation>
    </message>
    <message>
        <source>Time format</source>
        <translation>Time format</translation>
    </message>
    <message>
        <source>hh:mm:ss.s</source>
        <translation>hh:mm:ss.s</translation>
    </message>
    <message>
        <source>sss.s</source>
        <translation>sss.s</translation>
    </message>
    <message>
        <source>Device Settings</source>
        <translation>Device Settings</translation>
    </message>
    <message>
        <source>Power control</source>
        <translation>Power control</translation>
    </message>
    <message>
        <source>Use Long Touch for Switch On/Off</source>
        <translation>Use Long Touch for Switch On/Off</translation>
    </message>
    <message>
        <source>Auto Switch On at </source>
        <translation>Auto Switch On at </translation>
    </message>
    <message>
        <source>hh:mm</source>
        <translation>hh:mm</translation>
    </message>
    <message>
        <source>Restore output after the mains resume</source>
        <translation>Restore output after the mains resume</translation>
    </message>
    <message>
        <source>Auto Switch Off at </source>
        <translation>Auto Switch Off at </translation>
    </message>
    <message>
        <source>Auto Switch Off when consumption is lower than</source>
        <translation>Auto Switch Off when consumption is lower than</translation>
    </message>
    <message>
        <source>A after</source>
        <translation>A after</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>minutes</translation>
    </message>
    <message>
        <source>Display time when Switched Off</source>
        <translation>Display time when Switched Off</translation>
    </message>
    <message>
        <source>Classic Watch</source>
        <translation>Classic Watch</translation>
    </message>
    <message>
        <source>Digital Watch</source>
        <translation>Digital Watch</translation>
    </message>
    <message>
        <source>Temperature, F</source>
        <translation>Temperature, F</translation>
    </message>
    <message>
        <source>24h time format</source>
        <translation>24h time format</translation>
    </message>
    <message>
        <source>Date format</source>
        <translation>Date format</translation>
    </message>
    <message>
        <source>Sync. Time</source>
        <translation>Sync. Time</translation>
    </message>
    <message>
        <source>PC time</source>
        <translation>PC time</translation>
    </message>
    <message>
        <source>hh:mm MM/dd/yyyy</source>
        <translation>hh:mm MM/dd/yyyy</translation>
    </message>
    <message>
        <source>Last Sync time</source>
        <translation>Last Sync time</translation>
    </message>
    <message>
        <source>Sync. Now</source>
        <translation>Sync. Now</translation>
    </message>
    <message>
        <source>Device info</source>
        <translation>Device info</translation>
    </message>
    <message>
        <source>Serial number: </source>
        <translation>Serial number: </translation>
    </message>
    <message>
        <source>Version: </source>
        <translation>Version: </translation>
    </message>
    <message>
        <source>Tune/Trim 12V</source>
        <translation>Tune/Trim 12V</translation>
    </message>
    <message>
        <source>USB1 0.0 V</source>
        <translation>USB1 0.0 V</translation>
    </message>
    <message>
        <source>USB2 0.0 V</source>
        <translation>USB2 0.0 V</translation>
    </message>
    <message>
        <source>USB3 0.0 V</source>
        <translation>USB3 0.0 V</translation>
    </message>
    <message>
        <source>USB4 0.0 V</source>
        <translation>USB4 0.0 V</translation>
    </message>
    <message>
        <source>Status Screen</source>
        <translation>Status Screen</translation>
    </message>
    <message>
        <source>Show sequentially every</source>
        <translation>Show sequentially every</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>sec</translation>
    </message>
    <message>
        <source>Show TOTAL</source>
        <translation>Show TOTAL</translation>
    </message>
    <message>
        <source>Show POWER</source>
        <translation>Show POWER</translation>
    </message>
    <message>
        <source>Show AUX</source>
        <translation>Show AUX</translation>
    </message>
    <message>
        <source>Show SITE</source>
        <translation>Show SITE</translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Import</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Restore Defaults</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Apply</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Export</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Info</translation>
    </message>
    <message>
        <source>Model:</source>
        <translation>Model:</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Version:</translation>
    </message>
    <message>
        <source>9.9.99</source>
        <translation>9.9.99</translation>
    </message>
    <message>
        <source>S/N:</source>
        <translation>S/N:</translation>
    </message>
    <message>
        <source>123456789</source>
        <translation>123456789</translation>
    </message>
    <message>
        <source>Update from file</source>
        <translation>Update from file</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Automatically check for updates</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Check</translation>
    </message>
    <message>
        <source>New version available</source>
        <translation>New version available</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Details</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Software</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Download</translation>
    </message>
    <message>
        <source>About</source>
        <translation>About</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Version</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>Home Page</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://www.quillomar.com&quot;&gt;www.quillomar.com&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://www.quillomar.com&quot;&gt;www.quillomar.com&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://www.quillomar.com/download&quot;&gt;User Manual&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://www.quillomar.com/download&quot;&gt;User Manual&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Temperature, %1F</source>
        <translation>Temperature, %1F</translation>
    </message>
    <message>
        <source>SITE</source>
        <translation>SITE</translation>
    </message>
    <message>
        <source>TOTAL</source>
        <translation>TOTAL</translation>
    </message>
    <message>
        <source>POWER</source>
        <translation>POWER</translation>
    </message>
    <message>
        <source>AUX</source>
        <translation>AUX</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Device disconnected</source>
        <translation>Device disconnected</translation>
    </message>
    <message>
        <source>The power supply has not sent its settings yet. Nothing was written.</source>
        <translation>The power supply has not sent its settings yet. Nothing was written.</translation>
    </message>
    <message>
        <source>The settings could not be written to the power supply.</source>
        <translation>The settings could not be written to the power supply.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Settings are not saved. Save now?</source>
        <translation>Settings are not saved. Save now?</translation>
    </message>
    <message>
        <source>Export settings to JSON</source>
        <translation>Export settings to JSON</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>Import settings from JSON</source>
        <translation>Import settings from JSON</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Cannot read %1: %2</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>not a regular file</translation>
    </message>
    <message>
        <source>%1 is too large for a settings file.</source>
        <translation>%1 is too large for a settings file.</translation>
    </message>
    <message>
        <source>%1 is not a JSON document: %2 at offset %3.</source>
        <translation>%1 is not a JSON document: %2 at offset %3.</translation>
    </message>
    <message>
        <source>%1 holds no settings object.</source>
        <translation>%1 holds no settings object.</translation>
    </message>
    <message>
        <source>%1 is not a power supply settings file: the value of &quot;%2&quot; is missing or out of range. Nothing was changed.</source>
        <translation>%1 is not a power supply settings file: the value of &quot;%2&quot; is missing or out of range. Nothing was changed.</translation>
    </message>
    <message>
        <source>%1 cannot be imported: the value %3 of &quot;%2&quot; is out of range. Nothing was changed.</source>
        <translation>%1 cannot be imported: the value %3 of &quot;%2&quot; is out of range. Nothing was changed.</translation>
    </message>
    <message>
        <source>Qt</source>
        <translation>Qt</translation>
    </message>
    <message>
        <source>Choose file</source>
        <translation>Choose file</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Checking</translation>
    </message>
    <message>
        <source>Firmware info</source>
        <translation>Firmware info</translation>
    </message>
    <message>
        <source>Software info</source>
        <translation>Software info</translation>
    </message>
    <message>
        <source>Version info:</source>
        <translation>Version info:</translation>
    </message>
    <message>
        <source>Download SW</source>
        <translation>Download SW</translation>
    </message>
    <message>
        <source>Checking for the latest software first. Press Download again when the check has answered.</source>
        <translation>Checking for the latest software first. Press Download again when the check has answered.</translation>
    </message>
    <message>
        <source>File name is empty. Nothing to download.</source>
        <translation>File name is empty. Nothing to download.</translation>
    </message>
    <message>
        <source>The server&apos;s download link is not a secure web link.</source>
        <translation>The server&apos;s download link is not a secure web link.</translation>
    </message>
    <message>
        <source>Default web browser downloads file </source>
        <translation>Default web browser downloads file </translation>
    </message>
    <message>
        <source>Default web browser can&apos;t download file </source>
        <translation>Default web browser can&apos;t download file </translation>
    </message>
    <message>
        <source>Open firmware file</source>
        <translation>Open firmware file</translation>
    </message>
    <message>
        <source>The update server named no firmware file.</source>
        <translation>The update server named no firmware file.</translation>
    </message>
    <message>
        <source>Checking for the latest firmware first. Press Update again when the check has answered.</source>
        <translation>Checking for the latest firmware first. Press Update again when the check has answered.</translation>
    </message>
    <message>
        <source>In its bootloader</source>
        <translation>In its bootloader</translation>
    </message>
    <message>
        <source>The check failed: %1</source>
        <translation>The check failed: %1</translation>
    </message>
    <message>
        <source>The update server named no file to download.</source>
        <translation>The update server named no file to download.</translation>
    </message>
</context>
<context>
    <name>PowerDisplay</name>
    <message>
        <source>NONE</source>
        <translation>NONE</translation>
    </message>
    <message>
        <source>Date</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Fan speed</source>
        <translation>Fan speed</translation>
    </message>
    <message>
        <source>Main Output Voltage</source>
        <translation>Main Output Voltage</translation>
    </message>
    <message>
        <source>Main Output Current</source>
        <translation>Main Output Current</translation>
    </message>
    <message>
        <source>Mains Voltage</source>
        <translation>Mains Voltage</translation>
    </message>
    <message>
        <source>Mains Frequency</source>
        <translation>Mains Frequency</translation>
    </message>
    <message>
        <source>Max. Permitted Power</source>
        <translation>Max. Permitted Power</translation>
    </message>
    <message>
        <source>Max. Permitted Current</source>
        <translation>Max. Permitted Current</translation>
    </message>
    <message>
        <source>Total Current Consumption</source>
        <translation>Total Current Consumption</translation>
    </message>
    <message>
        <source>Total Power Consumption</source>
        <translation>Total Power Consumption</translation>
    </message>
    <message>
        <source>Temperature inside</source>
        <translation>Temperature inside</translation>
    </message>
    <message>
        <source>Temperature outside</source>
        <translation>Temperature outside</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>USB Output Voltage</source>
        <translation>USB Output Voltage</translation>
    </message>
    <message>
        <source>USB Output Current</source>
        <translation>USB Output Current</translation>
    </message>
    <message>
        <source>USB1 Output Voltage</source>
        <translation>USB1 Output Voltage</translation>
    </message>
    <message>
        <source>USB1 Output Current</source>
        <translation>USB1 Output Current</translation>
    </message>
    <message>
        <source>USB2 Output Voltage</source>
        <translation>USB2 Output Voltage</translation>
    </message>
    <message>
        <source>USB2 Output Current</source>
        <translation>USB2 Output Current</translation>
    </message>
    <message>
        <source>USB3 Output Voltage</source>
        <translation>USB3 Output Voltage</translation>
    </message>
    <message>
        <source>USB3 Output Current</source>
        <translation>USB3 Output Current</translation>
    </message>
    <message>
        <source>USB4 Output Voltage</source>
        <translation>USB4 Output Voltage</translation>
    </message>
    <message>
        <source>USB4 Output Current</source>
        <translation>USB4 Output Current</translation>
    </message>
</context>
<context>
    <name>PowerPanel</name>
    <message>
        <source>Power</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>Checking the input power</source>
        <translation>Checking the input power</translation>
    </message>
    <message>
        <source>Temperature scale</source>
        <translation>Temperature scale</translation>
    </message>
    <message>
        <source>Fahrenheit </source>
        <translation>Fahrenheit </translation>
    </message>
    <message>
        <source>Sample rate</source>
        <translation>Sample rate</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Custom</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Hz</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Channels</translation>
    </message>
    <message>
        <source>no more than 5 channels simultaneously </source>
        <translation>no more than 5 channels simultaneously </translation>
    </message>
    <message>
        <source>Start measurements</source>
        <translation>Start measurements</translation>
    </message>
    <message>
        <source>Stop measurements</source>
        <translation>Stop measurements</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Can&apos;t launch</source>
        <translation>Can&apos;t launch</translation>
    </message>
    <message>
        <source>Instance of the TOVRI already running. Terminate it please.</source>
        <translation>Instance of the TOVRI already running. Terminate it please.</translation>
    </message>
    <message>
        <source>s</source>
        <translation>s</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>ms</translation>
    </message>
    <message>
        <source>μs</source>
        <translation>μs</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>kHz</translation>
    </message>
</context>
<context>
    <name>QWidget</name>
    <message>
        <source>Use mouse to move time window left and right. Use mouse wheel to zoom in or zoom out the time window displayed</source>
        <translation>Use mouse to move time window left and right. Use mouse wheel to zoom in or zoom out the time window displayed</translation>
    </message>
</context>
<context>
    <name>ReportBar</name>
    <message>
        <source>ReportBar</source>
        <translation>ReportBar</translation>
    </message>
    <message>
        <source>Power profile data for a complete measurement time span</source>
        <translation>Power profile data for a complete measurement time span</translation>
    </message>
    <message>
        <source>Full range</source>
        <translation>Full range</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Average</translation>
    </message>
    <message>
        <source>#0, mA</source>
        <translation>#0, mA</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>#1, mV</source>
        <translation>#1, mV</translation>
    </message>
    <message>
        <source>#2, mV</source>
        <translation>#2, mV</translation>
    </message>
    <message>
        <source>Power profile data for the time window displayed</source>
        <translation>Power profile data for the time window displayed</translation>
    </message>
    <message>
        <source>0.00-10.00,s</source>
        <translation>0.00-10.00,s</translation>
    </message>
</context>
<context>
    <name>StatusPanel</name>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Vbat</source>
        <translation>Vbat</translation>
    </message>
    <message>
        <source>SYNC</source>
        <translation>SYNC</translation>
    </message>
    <message>
        <source>OUT-EN</source>
        <translation>OUT-EN</translation>
    </message>
    <message>
        <source>Vusb</source>
        <translation>Vusb</translation>
    </message>
    <message>
        <source>TRIG</source>
        <translation>TRIG</translation>
    </message>
    <message>
        <source>FLAG</source>
        <translation>FLAG</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>#0:</source>
        <translation>#0:</translation>
    </message>
    <message>
        <source>#1:</source>
        <translation>#1:</translation>
    </message>
    <message>
        <source>#2:</source>
        <translation>#2:</translation>
    </message>
    <message>
        <source>Vin, V</source>
        <translation>Vin, V</translation>
    </message>
</context>
<context>
    <name>SwapFile</name>
    <message>
        <source>A file of that name exists</source>
        <translation>A file of that name exists</translation>
    </message>
    <message>
        <source>A folder of that name exists</source>
        <translation>A folder of that name exists</translation>
    </message>
    <message>
        <source>The links that lead to that name form a loop or too long a chain</source>
        <translation>The links that lead to that name form a loop or too long a chain</translation>
    </message>
    <message>
        <source>The disk did not take the file: %1</source>
        <translation>The disk did not take the file: %1</translation>
    </message>
    <message>
        <source>The disk did not take the new name: %1</source>
        <translation>The disk did not take the new name: %1</translation>
    </message>
    <message>
        <source>Saved, but the disk did not confirm the new name (%1); the capture is also kept in %2</source>
        <translation>Saved, but the disk did not confirm the new name (%1); the capture is also kept in %2</translation>
    </message>
    <message>
        <source>%1; the capture is kept in %2</source>
        <translation>%1; the capture is kept in %2</translation>
    </message>
    <message>
        <source>Saved, but the disk did not confirm the new name (%1)</source>
        <translation>Saved, but the disk did not confirm the new name (%1)</translation>
    </message>
    <message>
        <source>Saving was cancelled</source>
        <translation>Saving was cancelled</translation>
    </message>
    <message>
        <source>Checking the copy...</source>
        <translation>Checking the copy...</translation>
    </message>
    <message>
        <source>The copy does not read back as it was written</source>
        <translation>The copy does not read back as it was written</translation>
    </message>
    <message>
        <source>%1; %2 no longer leads to the capture and was left as it is</source>
        <translation>%1; %2 no longer leads to the capture and was left as it is</translation>
    </message>
    <message>
        <source>%1 did not lead to the copy and was left as it is</source>
        <translation>%1 did not lead to the copy and was left as it is</translation>
    </message>
    <message>
        <source>the capture is also still at its old name %1</source>
        <translation>the capture is also still at its old name %1</translation>
    </message>
    <message>
        <source>the capture is also kept in %1</source>
        <translation>the capture is also kept in %1</translation>
    </message>
    <message>
        <source>%1 no longer led to the capture and was left as it is</source>
        <translation>%1 no longer led to the capture and was left as it is</translation>
    </message>
    <message>
        <source>Saved to %1; %2</source>
        <translation>Saved to %1; %2</translation>
    </message>
    <message>
        <source>Copying the capture to %1</source>
        <translation>Copying the capture to %1</translation>
    </message>
    <message>
        <source>Wrong file version</source>
        <translation>Wrong file version</translation>
    </message>
    <message>
        <source>Can&apos;t open file</source>
        <translation>Can&apos;t open file</translation>
    </message>
    <message>
        <source>Can&apos;t create output file</source>
        <translation>Can&apos;t create output file</translation>
    </message>
    <message>
        <source>Can&apos;t save file</source>
        <translation>Can&apos;t save file</translation>
    </message>
    <message>
        <source>Can&apos;t remove file</source>
        <translation>Can&apos;t remove file</translation>
    </message>
    <message>
        <source>Failed to write to file</source>
        <translation>Failed to write to file</translation>
    </message>
    <message>
        <source>Failed to read file</source>
        <translation>Failed to read file</translation>
    </message>
    <message>
        <source>Wrong read length</source>
        <translation>Wrong read length</translation>
    </message>
    <message>
        <source>File mapping error</source>
        <translation>File mapping error</translation>
    </message>
    <message>
        <source>Wrong channels number</source>
        <translation>Wrong channels number</translation>
    </message>
    <message>
        <source>The file is damaged or is not a capture file</source>
        <translation>The file is damaged or is not a capture file</translation>
    </message>
    <message>
        <source>Internal file error</source>
        <translation>Internal file error</translation>
    </message>
    <message>
        <source>Decimating...</source>
        <translation>Decimating...</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>Update Firmware</source>
        <translation>Update Firmware</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>No instrument or power supply is connected.</source>
        <translation>No instrument or power supply is connected.</translation>
    </message>
    <message>
        <source>Firmware file too short.</source>
        <translation>Firmware file too short.</translation>
    </message>
    <message>
        <source>Firmware file is too large.</source>
        <translation>Firmware file is too large.</translation>
    </message>
    <message>
        <source>Firmware file has wrong format</source>
        <translation>Firmware file has wrong format</translation>
    </message>
    <message>
        <source>No firmware download is available.</source>
        <translation>No firmware download is available.</translation>
    </message>
    <message>
        <source>Downloading, please wait...</source>
        <translation>Downloading, please wait...</translation>
    </message>
    <message>
        <source>The update server is still answering a check. Please try again in a moment.</source>
        <translation>The update server is still answering a check. Please try again in a moment.</translation>
    </message>
    <message>
        <source>Can&apos;t read firmware file</source>
        <translation>Can&apos;t read firmware file</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Warning</translation>
    </message>
    <message>
        <source>Server does not have firmware file.</source>
        <translation>Server does not have firmware file.</translation>
    </message>
    <message>
        <source>Can&apos;t read buffer</source>
        <translation>Can&apos;t read buffer</translation>
    </message>
    <message>
        <source>Updating, please wait...</source>
        <translation>Updating, please wait...</translation>
    </message>
    <message>
        <source>Update cancelled.</source>
        <translation>Update cancelled.</translation>
    </message>
    <message>
        <source>Successfully updated</source>
        <translation>Successfully updated</translation>
    </message>
    <message>
        <source>Update failed: </source>
        <translation>Update failed: </translation>
    </message>
    <message>
        <source>Cancelling, please wait...</source>
        <translation>Cancelling, please wait...</translation>
    </message>
</context>
</TS>
