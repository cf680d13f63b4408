<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uk_UA">
<context>
    <name>Calculator</name>
    <message>
        <source>Calculator</source>
        <translation type="unfinished">Калькулятор</translation>
    </message>
    <message>
        <source>Battery capacity</source>
        <translation>Ємність батареї</translation>
    </message>
    <message>
        <source>mAh</source>
        <translation>мА·год</translation>
    </message>
    <message>
        <source>Averaging current</source>
        <translation>Усереднення струму</translation>
    </message>
    <message>
        <source>By markers</source>
        <translation>За маркерами</translation>
    </message>
    <message>
        <source>-- : --</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>--- mA</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>In visible area</source>
        <translation>У видимій області</translation>
    </message>
    <message>
        <source>The whole measurement period</source>
        <translation>Увесь період вимірювання</translation>
    </message>
    <message>
        <source>By working cycle, sec</source>
        <translation>За робочим циклом, с</translation>
    </message>
    <message>
        <source>1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>User defined, mA</source>
        <translation>Задано користувачем, мА</translation>
    </message>
    <message>
        <source>Calculate</source>
        <translation>Обчислити</translation>
    </message>
    <message>
        <source>Battery life</source>
        <translation>Час роботи батареї</translation>
    </message>
    <message>
        <source>The battery too low</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>s</source>
        <translation>с</translation>
    </message>
    <message>
        <source>Empty measurements log.</source>
        <translation>Журнал вимірювань порожній.</translation>
    </message>
    <message>
        <source>Wrong value</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Too long working cycle. Only </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source> sec available</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Markers too close</source>
        <translation>Маркери надто близько</translation>
    </message>
    <message>
        <source>Markers are not visible, check their position</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 years, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 months, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 days, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 hours, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 minutes, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 seconds, </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The battery is too low  </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No estimate for this current</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ControlPanel</name>
    <message>
        <source>Control</source>
        <translation type="unfinished">Керування</translation>
    </message>
    <message>
        <source>Power output config</source>
        <translation>Налаштування виходу живлення</translation>
    </message>
    <message>
        <source>Permanent</source>
        <translation>Постійно</translation>
    </message>
    <message>
        <source>Delayed</source>
        <translation>Із затримкою</translation>
    </message>
    <message>
        <source>TOVRI starts sampling then swith power ON after the first 10 samples. This option is for DUT startups sequences profiling</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Off</source>
        <translation>Вимк.</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Встановити</translation>
    </message>
    <message>
        <source>1800 mV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>color:red</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Set output voltage(mv)</source>
        <translation>Вихідна напруга (мВ)</translation>
    </message>
    <message>
        <source>Switch Vin</source>
        <translation>Перемкнути Vin</translation>
    </message>
    <message>
        <source>Vbat -&gt; Vin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Using internal LiIon battery as a power source.
Choose this option if the peak current consumption can be more than 500mA</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vusb -&gt; Vin</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Using USB as a power source.
Choose this option to examine devices consuming less than 500mA</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply sync related to</source>
        <translation>Синхронізація відносно</translation>
    </message>
    <message>
        <source>TRIG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Запис</translation>
    </message>
    <message>
        <source>Sync delay(ms) </source>
        <translation>Затримка синхронізації (мс) </translation>
    </message>
    <message>
        <source>Reset errors</source>
        <translation>Скинути помилки</translation>
    </message>
    <message>
        <source>Applying power source profile</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Застосувати</translation>
    </message>
    <message>
        <source>Sample rate</source>
        <translation>Частота вибірки</translation>
    </message>
    <message>
        <source>Custom (100us units)</source>
        <translation>Власна (одиниці 100 мкс)</translation>
    </message>
    <message>
        <source>(-.--- kHz)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Канали</translation>
    </message>
    <message>
        <source>Multiplier</source>
        <translation>Множник</translation>
    </message>
    <message>
        <source>#1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start by Trig Edge</source>
        <translation>Старт за фронтом TRIG</translation>
    </message>
    <message>
        <source>Delay(ms)</source>
        <translation>Затримка (мс)</translation>
    </message>
    <message>
        <source>Log by Trig Gate</source>
        <translation>Запис за рівнем TRIG</translation>
    </message>
    <message>
        <source>Start measurements</source>
        <translation>Почати вимірювання</translation>
    </message>
    <message>
        <source>Stop measurements</source>
        <translation>Зупинити вимірювання</translation>
    </message>
    <message>
        <source> mV</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Battery LOW</source>
        <translation>Батарея РОЗРЯДЖЕНА</translation>
    </message>
    <message>
        <source>Error details</source>
        <translation>Подробиці помилки</translation>
    </message>
    <message>
        <source>Restore fault.
Channels calibration values are lost.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Lost of data is detected
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power converter communication error
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power converter can not not provide output voltage requlation
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Power converter thermal shutdown
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Low battery voltage is detected. 
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load power is disabled
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Load power is switched to Vusb.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>All power supplies were disconnected from DUT  due overcurrent.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vbat supply was disconnected from DUT, battery is low.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>1.Remove reason for high current.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>2.Select and APPLY proper power source(Vusb or Vbat).
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>3.Select and SET  proper Power config.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>4.Press button &quot;Reset errors&quot;.
</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>5.Now device is ready to work again.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <source>The update server named no download link.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Refused the address &quot;%1&quot;: only https links are accepted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server redirected to &quot;%1&quot;: only https links are accepted.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The reply is too large (%1 bytes).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The reply is too large (more than %1 bytes).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server did not answer in time.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The download was cancelled.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server answered with status %1.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Server does not have firmware file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server&apos;s reply could not be read (line %1, column %2).</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server&apos;s reply names no version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server&apos;s reply names no valid version.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server&apos;s reply names an unsafe link: only https links are accepted.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>GLWidget</name>
    <message>
        <source>Channels: %1 Sample rate: %2 Hz</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Channels: %1 Sample rate: %2%3</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>, Measurement time: %3</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>HidDevice</name>
    <message>
        <source>access denied or device busy</source>
        <translation>доступ заборонено або пристрій зайнятий</translation>
    </message>
    <message>
        <source>Writing to the device failed.</source>
        <translation>Не вдалося записати в пристрій.</translation>
    </message>
    <message>
        <source>Firmware file too short.</source>
        <translation>Файл прошивки закороткий.</translation>
    </message>
    <message>
        <source>Device not found.</source>
        <translation>Пристрій не знайдено.</translation>
    </message>
    <message>
        <source>The device could not be switched into its bootloader: %1</source>
        <translation>Не вдалося перевести пристрій у завантажувач: %1</translation>
    </message>
    <message>
        <source>The bootloader did not appear.</source>
        <translation>Завантажувач не з&apos;явився.</translation>
    </message>
    <message>
        <source>Bootloader returns ERROR.</source>
        <translation>Завантажувач повернув ПОМИЛКУ.</translation>
    </message>
    <message>
        <source>Firmware file cannot be read.</source>
        <translation>Файл прошивки неможливо прочитати.</translation>
    </message>
    <message>
        <source>The bootloader did not confirm the firmware.</source>
        <translation>Завантажувач не підтвердив прошивку.</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>TOVRI Logger</source>
        <translation>Реєстратор TOVRI</translation>
    </message>
    <message>
        <source>toolBar</source>
        <translation>Панель інструментів</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Стан</translation>
    </message>
    <message>
        <source>Control</source>
        <translation>Керування</translation>
    </message>
    <message>
        <source>Attention! The current has exceeded 1A.</source>
        <translation>Увага! Струм перевищив 1 А.</translation>
    </message>
    <message>
        <source>A new software version is available. Go to Settings to update.</source>
        <translation>Доступна нова версія програми. Оновіть її в Налаштуваннях.</translation>
    </message>
    <message>
        <source>A new firmware version is available. Go to Settings to update.</source>
        <translation>Доступна нова версія прошивки. Оновіть її в Налаштуваннях.</translation>
    </message>
    <message>
        <source>Time: </source>
        <translation>Час: </translation>
    </message>
    <message>
        <source>Time, sec: </source>
        <translation>Час, с: </translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Зберегти</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Відкрити</translation>
    </message>
    <message>
        <source>View</source>
        <translation>Вигляд</translation>
    </message>
    <message>
        <source>Settings</source>
        <translation>Налаштування</translation>
    </message>
    <message>
        <source>Show </source>
        <translation>Показати </translation>
    </message>
    <message>
        <source>TOVRI shows the part of the datalog, the duration of which does not exceed the specified number of seconds</source>
        <translation>TOVRI показує частину запису, тривалість якої не перевищує вказану кількість секунд</translation>
    </message>
    <message>
        <source>Custom: </source>
        <translation>Власний: </translation>
    </message>
    <message>
        <source>sec</source>
        <translation>с</translation>
    </message>
    <message>
        <source>Show Report</source>
        <translation>Показати звіт</translation>
    </message>
    <message>
        <source>Hide Markers</source>
        <translation>Сховати маркери</translation>
    </message>
    <message>
        <source>Show Markers</source>
        <translation>Показати маркери</translation>
    </message>
    <message>
        <source>Calculator</source>
        <translation>Калькулятор</translation>
    </message>
    <message>
        <source>Measuring time,sec </source>
        <translation>Час вимірювання, с </translation>
    </message>
    <message>
        <source>Stop measurements after the specified number of seconds</source>
        <translation>Зупинити вимірювання через вказану кількість секунд</translation>
    </message>
    <message>
        <source>Hide Report</source>
        <translation>Сховати звіт</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Час</translation>
    </message>
    <message>
        <source>Time, sec</source>
        <translation>Час, с</translation>
    </message>
    <message>
        <source>FAILED to start measuring: </source>
        <translation>НЕ ВДАЛОСЯ почати вимірювання: </translation>
    </message>
    <message>
        <source>Device connected</source>
        <translation>Пристрій підключено</translation>
    </message>
    <message>
        <source>Device disconnected</source>
        <translation>Пристрій відключено</translation>
    </message>
    <message>
        <source>The device was found but cannot be opened: %1</source>
        <translation>Пристрій знайдено, але його неможливо відкрити: %1</translation>
    </message>
    <message>
        <source>Capture </source>
        <translation>Запис </translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрити</translation>
    </message>
    <message>
        <source>%1 is not saved. Want to save it before closing?</source>
        <translation>%1 не збережено. Зберегти перед закриттям?</translation>
    </message>
    <message>
        <source>Close tabs to the left</source>
        <translation>Закрити вкладки ліворуч</translation>
    </message>
    <message>
        <source>Close tabs to the right</source>
        <translation>Закрити вкладки праворуч</translation>
    </message>
    <message>
        <source>Close all tabs</source>
        <translation>Закрити всі вкладки</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>кГц</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Гц</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Settings</source>
        <translation type="unfinished">Налаштування</translation>
    </message>
    <message>
        <source>Appearance</source>
        <translation>Вигляд</translation>
    </message>
    <message>
        <source>Color theme</source>
        <translation>Колірна тема</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Темна</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Світла</translation>
    </message>
    <message>
        <source>Language</source>
        <translation>Мова</translation>
    </message>
    <message>
        <source>Colors</source>
        <translation>Кольори</translation>
    </message>
    <message>
        <source>Charts background</source>
        <translation>Тло графіків</translation>
    </message>
    <message>
        <source>Preview</source>
        <translation>Перегляд</translation>
    </message>
    <message>
        <source>#0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#1</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Apply to</source>
        <translation>Застосувати до</translation>
    </message>
    <message>
        <source>All</source>
        <translation>Усі</translation>
    </message>
    <message>
        <source>Chart</source>
        <translation>Графік</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Звіт</translation>
    </message>
    <message>
        <source>Mouse hint</source>
        <translation>Підказка миші</translation>
    </message>
    <message>
        <source>Time format</source>
        <translation>Формат часу</translation>
    </message>
    <message>
        <source>hh:mm:ss.s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sss.s</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device Settings</source>
        <translation>Налаштування пристрою</translation>
    </message>
    <message>
        <source>Power control</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Use Long Touch for Switch On/Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Switch On at </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hh:mm</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Restore output after the mains resume</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Switch Off at </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Auto Switch Off when consumption is lower than</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>A after</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>minutes</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Display time when Switched Off</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Classic Watch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Digital Watch</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature, F</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>24h time format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync. Time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>PC time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>hh:mm MM/dd/yyyy</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Last Sync time</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sync. Now</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Device info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Serial number: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version: </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Tune/Trim 12V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB1 0.0 V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB2 0.0 V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB3 0.0 V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB4 0.0 V</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Status Screen</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show sequentially every</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>sec</source>
        <translation type="unfinished">с</translation>
    </message>
    <message>
        <source>Show TOTAL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show POWER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show AUX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Show SITE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import</source>
        <translation>Імпорт</translation>
    </message>
    <message>
        <source>Restore Defaults</source>
        <translation>Типові значення</translation>
    </message>
    <message>
        <source>Apply</source>
        <translation>Застосувати</translation>
    </message>
    <message>
        <source>Save</source>
        <translation type="unfinished">Зберегти</translation>
    </message>
    <message>
        <source>Export</source>
        <translation>Експорт</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Оновлення</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Прошивка</translation>
    </message>
    <message>
        <source>Info</source>
        <translation>Відомості</translation>
    </message>
    <message>
        <source>Model:</source>
        <translation>Модель:</translation>
    </message>
    <message>
        <source>none</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Версія:</translation>
    </message>
    <message>
        <source>9.9.99</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>S/N:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>123456789</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Update from file</source>
        <translation>Оновити з файлу</translation>
    </message>
    <message>
        <source>...</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Automatically check for updates</source>
        <translation>Автоматично перевіряти оновлення</translation>
    </message>
    <message>
        <source>Check</source>
        <translation>Перевірити</translation>
    </message>
    <message>
        <source>New version available</source>
        <translation>Доступна нова версія</translation>
    </message>
    <message>
        <source>Details</source>
        <translation>Подробиці</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Програма</translation>
    </message>
    <message>
        <source>Download</source>
        <translation>Завантажити</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Про програму</translation>
    </message>
    <message>
        <source>Version</source>
        <translation>Версія</translation>
    </message>
    <message>
        <source>Home Page</source>
        <translation>Домашня сторінка</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://www.quillomar.com&quot;&gt;www.quillomar.com&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Довідка</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://www.quillomar.com/download&quot;&gt;User Manual&lt;/a&gt;</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature, %1F</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SITE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TOTAL</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>POWER</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>AUX</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Попередження</translation>
    </message>
    <message>
        <source>Device disconnected</source>
        <translation type="unfinished">Пристрій відключено</translation>
    </message>
    <message>
        <source>The power supply has not sent its settings yet. Nothing was written.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The settings could not be written to the power supply.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрити</translation>
    </message>
    <message>
        <source>Settings are not saved. Save now?</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Export settings to JSON</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Import settings from JSON</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is too large for a settings file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a JSON document: %2 at offset %3.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 holds no settings object.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>%1 is not a power supply settings file: the value of &quot;%2&quot; is missing or out of range. Nothing was changed.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Qt</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Choose file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Software info</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Version info:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Download SW</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for the latest software first. Press Download again when the check has answered.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File name is empty. Nothing to download.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The server&apos;s download link is not a secure web link.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default web browser downloads file </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Default web browser can&apos;t download file </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Open firmware file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The update server named no firmware file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Checking for the latest firmware first. Press Update again when the check has answered.</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PowerDisplay</name>
    <message>
        <source>NONE</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Date</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Fan speed</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main Output Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Main Output Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mains Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Mains Frequency</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Max. Permitted Power</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Max. Permitted Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total Current Consumption</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Total Power Consumption</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature inside</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Temperature outside</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Time</source>
        <translation type="unfinished">Час</translation>
    </message>
    <message>
        <source>USB Output Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB Output Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB1 Output Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB1 Output Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB2 Output Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB2 Output Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB3 Output Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB3 Output Current</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB4 Output Voltage</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>USB4 Output Current</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PowerPanel</name>
    <message>
        <source>Power</source>
        <translation>Живлення</translation>
    </message>
    <message>
        <source>Checking the input power</source>
        <translation>Перевірка вхідного живлення</translation>
    </message>
    <message>
        <source>Temperature scale</source>
        <translation>Шкала температури</translation>
    </message>
    <message>
        <source>Fahrenheit </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Sample rate</source>
        <translation>Частота вибірки</translation>
    </message>
    <message>
        <source>Custom</source>
        <translation>Власна</translation>
    </message>
    <message>
        <source>Hz</source>
        <translation>Гц</translation>
    </message>
    <message>
        <source>Channels</source>
        <translation>Канали</translation>
    </message>
    <message>
        <source>no more than 5 channels simultaneously </source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Start measurements</source>
        <translation>Почати вимірювання</translation>
    </message>
    <message>
        <source>Stop measurements</source>
        <translation>Зупинити вимірювання</translation>
    </message>
</context>
<context>
    <name>ProgressDialog</name>
    <message>
        <source>Close</source>
        <translation>Закрити</translation>
    </message>
</context>
<context>
    <name>QObject</name>
    <message>
        <source>Can&apos;t launch</source>
        <translation>Неможливо запустити</translation>
    </message>
    <message>
        <source>Instance of the TOVRI already running. Terminate it please.</source>
        <translation>TOVRI вже запущено. Будь ласка, завершіть його.</translation>
    </message>
    <message>
        <source>s</source>
        <translation>с</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>кГц</translation>
    </message>
</context>
<context>
    <name>StatusPanel</name>
    <message>
        <source>Status</source>
        <translation>Стан</translation>
    </message>
    <message>
        <source>Vbat</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>SYNC</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>OUT-EN</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vusb</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>TRIG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>FLAG</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>0</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#0:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#1:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>#2:</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Vin, V</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>SwapFile</name>
    <message>
        <source>Wrong file version</source>
        <translation>Неправильна версія файлу</translation>
    </message>
    <message>
        <source>Can&apos;t open file</source>
        <translation>Неможливо відкрити файл</translation>
    </message>
    <message>
        <source>Can&apos;t create output file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t save file</source>
        <translation>Неможливо зберегти файл</translation>
    </message>
    <message>
        <source>Can&apos;t remove file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to write to file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Failed to read file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong read length</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>File mapping error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Wrong channels number</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>The file is damaged or is not a capture file</source>
        <translation>Файл пошкоджено або це не файл запису</translation>
    </message>
    <message>
        <source>Internal file error</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Decimating...</source>
        <translation>Проріджування...</translation>
    </message>
</context>
<context>
    <name>UpdateDialog</name>
    <message>
        <source>Update Firmware</source>
        <translation>Оновлення прошивки</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрити</translation>
    </message>
    <message>
        <source>Update</source>
        <translation>Оновлення</translation>
    </message>
    <message>
        <source>No instrument or power supply is connected.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware file too short.</source>
        <translation type="unfinished">Файл прошивки закороткий.</translation>
    </message>
    <message>
        <source>Firmware file is too large.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Firmware file has wrong format</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>No firmware download is available.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Downloading, please wait...</source>
        <translation>Завантаження, зачекайте...</translation>
    </message>
    <message>
        <source>The update server is still answering a check. Please try again in a moment.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read firmware file</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Попередження</translation>
    </message>
    <message>
        <source>Server does not have firmware file.</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Can&apos;t read buffer</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Updating, please wait...</source>
        <translation>Оновлення, зачекайте...</translation>
    </message>
    <message>
        <source>Update cancelled.</source>
        <translation>Оновлення скасовано.</translation>
    </message>
    <message>
        <source>Successfully updated</source>
        <translation>Успішно оновлено</translation>
    </message>
    <message>
        <source>Update failed: </source>
        <translation>Оновлення не вдалося: </translation>
    </message>
    <message>
        <source>Cancelling, please wait...</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
