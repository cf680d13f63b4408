<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="uk_UA">
<context>
    <name>Calculator</name>
    <message>
        <source>Calculator</source>
        <translation>Калькулятор</translation>
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
        <translation>-- : --</translation>
    </message>
    <message>
        <source>--- mA</source>
        <translation>--- mA</translation>
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
        <translation>1</translation>
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
        <translation>Батарея надто слабка</translation>
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
        <translation>Хибне значення</translation>
    </message>
    <message>
        <source>Too long working cycle. Only </source>
        <translation>Задовгий робочий цикл. Доступно лише </translation>
    </message>
    <message>
        <source> sec available</source>
        <translation> с</translation>
    </message>
    <message>
        <source>Markers too close</source>
        <translation>Маркери надто близько</translation>
    </message>
    <message>
        <source>Markers are not visible, check their position</source>
        <translation>Маркери не видно, перевірте їхнє положення</translation>
    </message>
    <message>
        <source>%1 years, </source>
        <translation>%1 р., </translation>
    </message>
    <message>
        <source>%1 months, </source>
        <translation>%1 міс., </translation>
    </message>
    <message>
        <source>%1 days, </source>
        <translation>%1 дн., </translation>
    </message>
    <message>
        <source>%1 hours, </source>
        <translation>%1 год, </translation>
    </message>
    <message>
        <source>%1 minutes, </source>
        <translation>%1 хв, </translation>
    </message>
    <message>
        <source>%1 seconds, </source>
        <translation>%1 с, </translation>
    </message>
    <message>
        <source>The battery is too low  </source>
        <translation>Батарея надто слабка  </translation>
    </message>
    <message>
        <source>No estimate for this current</source>
        <translation>Для цього струму оцінки немає</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>Data logger for the TOVRI USB current/voltage logger and the Kelvaro Power V1/V2 bench supplies.</source>
        <translation>Реєстратор даних для USB-реєстратора струму й напруги TOVRI та лабораторних джерел живлення Kelvaro Power V1/V2.</translation>
    </message>
    <message>
        <source>Displays help on commandline options.</source>
        <translation>Показує довідку щодо параметрів командного рядка.</translation>
    </message>
    <message>
        <source>Developer mode (has no further effect).</source>
        <translation>Режим розробника (більше ні на що не впливає).</translation>
    </message>
    <message>
        <source>Unexpected argument &apos;%1&apos;.</source>
        <translation>Неочікуваний аргумент «%1».</translation>
    </message>
</context>
<context>
    <name>ControlPanel</name>
    <message>
        <source>Control</source>
        <translation>Керування</translation>
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
        <translation>TOVRI починає вимірювання й вмикає живлення після перших 10 відліків. Цей режим — для профілювання запуску пристрою, що випробовується</translation>
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
        <translation>1800 mV</translation>
    </message>
    <message>
        <source>color:red</source>
        <translation>color:red</translation>
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
        <translation>Vbat -&gt; Vin</translation>
    </message>
    <message>
        <source>Using internal LiIon battery as a power source.
Choose this option if the peak current consumption can be more than 500mA</source>
        <translation>Джерело живлення — вбудована Li-Ion батарея.
Оберіть цей варіант, якщо піковий струм споживання може перевищувати 500 мА</translation>
    </message>
    <message>
        <source>Vusb -&gt; Vin</source>
        <translation>Vusb -&gt; Vin</translation>
    </message>
    <message>
        <source>Using USB as a power source.
Choose this option to examine devices consuming less than 500mA</source>
        <translation>Джерело живлення — USB.
Оберіть цей варіант для пристроїв, що споживають менше 500 мА</translation>
    </message>
    <message>
        <source>Apply sync related to</source>
        <translation>Синхронізація відносно</translation>
    </message>
    <message>
        <source>TRIG</source>
        <translation>TRIG</translation>
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
        <translation>Застосування профілю джерела живлення</translation>
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
        <translation>(-.--- kHz)</translation>
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
        <translation>#1</translation>
    </message>
    <message>
        <source>#2</source>
        <translation>#2</translation>
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
        <translation> mV</translation>
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
        <translation>Помилка відновлення.
Калібрування каналів втрачено.
</translation>
    </message>
    <message>
        <source>Lost of data is detected
</source>
        <translation>Виявлено втрату даних
</translation>
    </message>
    <message>
        <source>Power converter communication error
</source>
        <translation>Помилка зв’язку з перетворювачем живлення
</translation>
    </message>
    <message>
        <source>Power converter can not not provide output voltage requlation
</source>
        <translation>Перетворювач живлення не може стабілізувати вихідну напругу
</translation>
    </message>
    <message>
        <source>Power converter thermal shutdown
</source>
        <translation>Теплове вимкнення перетворювача живлення
</translation>
    </message>
    <message>
        <source>Low battery voltage is detected. 
</source>
        <translation>Виявлено низьку напругу батареї. 
</translation>
    </message>
    <message>
        <source>Load power is disabled
</source>
        <translation>Живлення навантаження вимкнено
</translation>
    </message>
    <message>
        <source>Load power is switched to Vusb.
</source>
        <translation>Живлення навантаження перемкнено на Vusb.
</translation>
    </message>
    <message>
        <source>All power supplies were disconnected from DUT  due overcurrent.
</source>
        <translation>Усі джерела живлення відключено від пристрою через перевищення струму.
</translation>
    </message>
    <message>
        <source>Vbat supply was disconnected from DUT, battery is low.
</source>
        <translation>Живлення Vbat відключено від пристрою: батарея розряджена.
</translation>
    </message>
    <message>
        <source>1.Remove reason for high current.
</source>
        <translation>1.Усуньте причину великого струму.
</translation>
    </message>
    <message>
        <source>2.Select and APPLY proper power source(Vusb or Vbat).
</source>
        <translation>2.Оберіть і ЗАСТОСУЙТЕ потрібне джерело живлення (Vusb або Vbat).
</translation>
    </message>
    <message>
        <source>3.Select and SET  proper Power config.
</source>
        <translation>3.Оберіть і ВСТАНОВІТЬ потрібну конфігурацію живлення.
</translation>
    </message>
    <message>
        <source>4.Press button &quot;Reset errors&quot;.
</source>
        <translation>4.Натисніть кнопку &quot;Скинути помилки&quot;.
</translation>
    </message>
    <message>
        <source>5.Now device is ready to work again.</source>
        <translation>5.Тепер пристрій знову готовий до роботи.</translation>
    </message>
    <message>
        <source>(one channel only)</source>
        <translation>(лише один канал)</translation>
    </message>
</context>
<context>
    <name>Downloader</name>
    <message>
        <source>The update server named no download link.</source>
        <translation>Сервер оновлень не вказав посилання для завантаження.</translation>
    </message>
    <message>
        <source>Refused the address &quot;%1&quot;: only https links are accepted.</source>
        <translation>Адресу &quot;%1&quot; відхилено: приймаються лише посилання https.</translation>
    </message>
    <message>
        <source>The update server redirected to &quot;%1&quot;: only https links are accepted.</source>
        <translation>Сервер оновлень переспрямував на &quot;%1&quot;: приймаються лише посилання https.</translation>
    </message>
    <message>
        <source>The reply is too large (%1 bytes).</source>
        <translation>Відповідь завелика (%1 байт).</translation>
    </message>
    <message>
        <source>The reply is too large (more than %1 bytes).</source>
        <translation>Відповідь завелика (понад %1 байт).</translation>
    </message>
    <message>
        <source>The update server did not answer in time.</source>
        <translation>Сервер оновлень не відповів вчасно.</translation>
    </message>
    <message>
        <source>The download was cancelled.</source>
        <translation>Завантаження скасовано.</translation>
    </message>
    <message>
        <source>The update server answered with status %1.</source>
        <translation>Сервер оновлень відповів зі статусом %1.</translation>
    </message>
    <message>
        <source>Server does not have firmware file.</source>
        <translation>На сервері немає файлу прошивки.</translation>
    </message>
    <message>
        <source>The update server&apos;s reply could not be read (line %1, column %2).</source>
        <translation>Не вдалося прочитати відповідь сервера оновлень (рядок %1, стовпець %2).</translation>
    </message>
    <message>
        <source>The update server&apos;s reply names no version.</source>
        <translation>Відповідь сервера оновлень не містить версії.</translation>
    </message>
    <message>
        <source>The update server&apos;s reply names no valid version.</source>
        <translation>Відповідь сервера оновлень не містить коректної версії.</translation>
    </message>
    <message>
        <source>The update server&apos;s reply names an unsafe link: only https links are accepted.</source>
        <translation>Відповідь сервера оновлень містить небезпечне посилання: приймаються лише посилання https.</translation>
    </message>
</context>
<context>
    <name>GLWidget</name>
    <message>
        <source>Channels: %1 Sample rate: %2 Hz</source>
        <translation>Канали: %1 Частота вибірки: %2 Гц</translation>
    </message>
    <message>
        <source>Channels: %1 Sample rate: %2%3</source>
        <translation>Канали: %1 Частота вибірки: %2%3</translation>
    </message>
    <message>
        <source>, Measurement time: %3</source>
        <translation>, Час вимірювання: %3</translation>
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
    <message>
        <source>The bootloader did not answer.</source>
        <translation>Завантажувач не відповів.</translation>
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
    <message>
        <source>Not all measurements are saved. Do you want to save them?</source>
        <translation>Не всі вимірювання збережено. Зберегти їх?</translation>
    </message>
    <message>
        <source>At least one channel should be selected.</source>
        <translation>Слід вибрати принаймні один канал.</translation>
    </message>
    <message>
        <source>The capture file cannot be created in %1</source>
        <translation>Не вдалося створити файл запису в %1</translation>
    </message>
    <message>
        <source>The capture file cannot be written: %1</source>
        <translation>Не вдалося записати файл запису: %1</translation>
    </message>
    <message>
        <source>The start command could not be sent to the logger: %1</source>
        <translation>Не вдалося надіслати логеру команду запуску: %1</translation>
    </message>
    <message>
        <source>The stop command could not be sent to the logger: %1</source>
        <translation>Не вдалося надіслати логеру команду зупинки: %1</translation>
    </message>
    <message>
        <source>The link was opened again and the logger told to stop</source>
        <translation>З’єднання відкрито знову, логеру надіслано команду зупинки</translation>
    </message>
    <message>
        <source>The log command could not be sent to the supply: %1</source>
        <translation>Не вдалося надіслати джерелу живлення команду журналу: %1</translation>
    </message>
    <message>
        <source>The supply refused the log: %1</source>
        <translation>Джерело живлення відмовилося вести журнал: %1</translation>
    </message>
    <message>
        <source>Logging...</source>
        <translation>Ведеться журнал...</translation>
    </message>
    <message>
        <source>Channel #%1 records nothing: the logger has not described it. Stop, then unplug and plug the logger back.</source>
        <translation>Канал #%1 нічого не записує: логер не надіслав його опису. Зупиніть вимірювання, потім від’єднайте й знову під’єднайте логер.</translation>
    </message>
    <message>
        <source>The file was not opened: its read was cancelled.</source>
        <translation>Файл не відкрито: його читання скасовано.</translation>
    </message>
    <message>
        <source>The stop command could not be sent to the supply: %1</source>
        <translation>Не вдалося надіслати джерелу живлення команду зупинки: %1</translation>
    </message>
    <message>
        <source>Unfinished captures (*.tmp)</source>
        <translation>Незавершені записи (*.tmp)</translation>
    </message>
    <message>
        <source>An unfinished capture was found: %1. Open it to review or save it.</source>
        <translation>Знайдено незавершений запис: %1. Відкрийте його, щоб переглянути або зберегти.</translation>
    </message>
    <message>
        <source>Unfinished captures were found in %1 (%2 files). Open them to review or save them.</source>
        <translation>У %1 знайдено незавершені записи (файлів: %2). Відкрийте їх, щоб переглянути або зберегти.</translation>
    </message>
    <message>
        <source>the command does not begin with LOG</source>
        <translation>команда не починається з LOG</translation>
    </message>
    <message>
        <source>the command names no channel</source>
        <translation>команда не називає жодного каналу</translation>
    </message>
    <message>
        <source>the rate must be 1 to %1 records per second</source>
        <translation>частота має бути від 1 до %1 записів за секунду</translation>
    </message>
    <message>
        <source>&quot;%1&quot; names no further channel of this supply</source>
        <translation>&quot;%1&quot; не називає наступного каналу цього джерела</translation>
    </message>
    <message>
        <source>a log takes at most %1 channels</source>
        <translation>журнал вміщує щонайбільше %1 каналів</translation>
    </message>
    <message>
        <source>no power supply is connected</source>
        <translation>джерело живлення не під’єднано</translation>
    </message>
    <message>
        <source>The log cannot start: %1.</source>
        <translation>Журнал не може почати: %1.</translation>
    </message>
    <message>
        <source>The log cannot start: its tab does not fit the channels.</source>
        <translation>Журнал не може почати: його вкладка не відповідає каналам.</translation>
    </message>
    <message>
        <source>Couldn&apos;t save file: %1</source>
        <translation>Не вдалося зберегти файл: %1</translation>
    </message>
    <message>
        <source>Saved</source>
        <translation>Збережено</translation>
    </message>
    <message>
        <source>Open file</source>
        <translation>Відкрити файл</translation>
    </message>
    <message>
        <source>The file is corrupted or in the wrong format</source>
        <translation>Файл пошкоджено або він має хибний формат</translation>
    </message>
    <message>
        <source>Loaded</source>
        <translation>Завантажено</translation>
    </message>
    <message>
        <source>Loaded a damaged or unfinished capture: %1 records kept, %2 bytes dropped</source>
        <translation>Завантажено пошкоджений або незавершений запис: збережено відліків: %1, відкинуто байтів: %2</translation>
    </message>
    <message>
        <source>Viewing interval limited to %1 s: at this sample rate a longer one would hold more than 2 million points per channel</source>
        <translation>Інтервал перегляду обмежено до %1 с: за цієї частоти довший вмістив би понад 2 мільйони точок на канал</translation>
    </message>
    <message>
        <source>Enter value</source>
        <translation>Введіть значення</translation>
    </message>
    <message>
        <source>Viewing interval, sec </source>
        <translation>Інтервал перегляду, с </translation>
    </message>
    <message>
        <source>Wait until the capture being read is done.</source>
        <translation>Зачекайте, доки завершиться читання запису.</translation>
    </message>
    <message>
        <source>%1 was not saved: its tab was closed meanwhile.</source>
        <translation>%1 не збережено: його вкладку тим часом закрито.</translation>
    </message>
    <message>
        <source>%1 was not saved. Do you want to save it?</source>
        <translation>%1 не збережено. Зберегти його?</translation>
    </message>
    <message>
        <source>Answer the question about closing %1 first.</source>
        <translation>Спершу дайте відповідь на запитання про закриття %1.</translation>
    </message>
    <message>
        <source>Answer the question about saving the captures first.</source>
        <translation>Спершу дайте відповідь на запитання про збереження записів.</translation>
    </message>
    <message>
        <source>Finish saving %1 first.</source>
        <translation>Спершу завершіть збереження %1.</translation>
    </message>
    <message>
        <source>The file was not opened: its tab was closed while it was read.</source>
        <translation>Файл не відкрито: його вкладку закрили під час читання.</translation>
    </message>
    <message>
        <source>The file holds no samples</source>
        <translation>Файл не містить жодного відліку</translation>
    </message>
    <message>
        <source>Measuring...</source>
        <translation>Вимірювання...</translation>
    </message>
    <message>
        <source>The capture ended at its measuring time of %1 s.</source>
        <translation>Запис завершено: минув заданий час вимірювання, %1 с.</translation>
    </message>
    <message>
        <source> - no device connected</source>
        <translation> - пристрій не під’єднано</translation>
    </message>
    <message>
        <source>Save file</source>
        <translation>Зберегти файл</translation>
    </message>
    <message>
        <source>No device connected. Connect a TOVRI logger or a Kelvaro power supply, or open a capture file.</source>
        <translation>Пристрій не під’єднано. Під’єднайте реєстратор TOVRI або джерело живлення Kelvaro чи відкрийте файл запису.</translation>
    </message>
    <message>
        <source>A Kelvaro Power V2 is connected. This program does not serve it live; its log files open as usual with Open.</source>
        <translation>Під’єднано джерело живлення Kelvaro Power V2. Ця програма не працює з ним наживо; його файли журналу відкриваються як завжди через «Відкрити».</translation>
    </message>
    <message>
        <source>The device was found but cannot be opened: %1. To allow it, install the program with &quot;cmake --install&quot;, which adds the udev rule 70-tovri.rules, run &quot;udevadm control --reload-rules &amp;&amp; udevadm trigger&quot; as root and plug the device in again; or run the program from the logged-in local seat.</source>
        <translation>Пристрій знайдено, але його неможливо відкрити: %1. Щоб дозволити доступ, установіть програму командою &quot;cmake --install&quot;, яка додає правило udev 70-tovri.rules, виконайте &quot;udevadm control --reload-rules &amp;&amp; udevadm trigger&quot; від імені root і під’єднайте пристрій знову; або запустіть програму з локального сеансу користувача, який увійшов у систему.</translation>
    </message>
    <message>
        <source>instrument in its bootloader, firmware needed</source>
        <translation>прилад у завантажувачі, потрібна прошивка</translation>
    </message>
    <message>
        <source>no device connected</source>
        <translation>пристрій не під’єднано</translation>
    </message>
    <message>
        <source>The instrument is in its bootloader and needs firmware. Write it from Settings, on the Update page.</source>
        <translation>Прилад перебуває в завантажувачі й потребує прошивки. Запишіть її в Налаштуваннях, на сторінці Оновлення.</translation>
    </message>
</context>
<context>
    <name>MarkerBar</name>
    <message>
        <source>Length: </source>
        <translation>Довжина: </translation>
    </message>
    <message>
        <source>Marker&apos;s color</source>
        <translation>Колір маркера</translation>
    </message>
</context>
<context>
    <name>NavigationBar</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Sets extreme values to display them on the navigation panel</source>
        <translation>Задає граничні значення для показу на панелі навігації</translation>
    </message>
    <message>
        <source>Click the sample of interest for direct access to the time window containing this sample</source>
        <translation>Клацніть потрібний відлік, щоб перейти до часового вікна, яке його містить</translation>
    </message>
</context>
<context>
    <name>NavigationSettings</name>
    <message>
        <source>Decimation</source>
        <translation>Проріджування</translation>
    </message>
    <message>
        <source>Channel</source>
        <translation>Канал</translation>
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
        <translation>Поріг</translation>
    </message>
    <message>
        <source>mA</source>
        <translation>мА</translation>
    </message>
    <message>
        <source>mV</source>
        <translation>мВ</translation>
    </message>
</context>
<context>
    <name>OptionsDialog</name>
    <message>
        <source>Settings</source>
        <translation>Налаштування</translation>
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
        <translation>hh:mm:ss.s</translation>
    </message>
    <message>
        <source>sss.s</source>
        <translation>sss.s</translation>
    </message>
    <message>
        <source>Device Settings</source>
        <translation>Налаштування пристрою</translation>
    </message>
    <message>
        <source>Power control</source>
        <translation>Керування живленням</translation>
    </message>
    <message>
        <source>Use Long Touch for Switch On/Off</source>
        <translation>Вмикати/вимикати довгим дотиком</translation>
    </message>
    <message>
        <source>Auto Switch On at </source>
        <translation>Автоувімкнення о </translation>
    </message>
    <message>
        <source>hh:mm</source>
        <translation>hh:mm</translation>
    </message>
    <message>
        <source>Restore output after the mains resume</source>
        <translation>Відновлювати вихід після повернення мережі</translation>
    </message>
    <message>
        <source>Auto Switch Off at </source>
        <translation>Автовимкнення о </translation>
    </message>
    <message>
        <source>Auto Switch Off when consumption is lower than</source>
        <translation>Автовимкнення, коли споживання менше ніж</translation>
    </message>
    <message>
        <source>A after</source>
        <translation>А через</translation>
    </message>
    <message>
        <source>minutes</source>
        <translation>хвилин</translation>
    </message>
    <message>
        <source>Display time when Switched Off</source>
        <translation>Показувати час у вимкненому стані</translation>
    </message>
    <message>
        <source>Classic Watch</source>
        <translation>Стрілковий годинник</translation>
    </message>
    <message>
        <source>Digital Watch</source>
        <translation>Цифровий годинник</translation>
    </message>
    <message>
        <source>Temperature, F</source>
        <translation>Температура, F</translation>
    </message>
    <message>
        <source>24h time format</source>
        <translation>24-годинний формат часу</translation>
    </message>
    <message>
        <source>Date format</source>
        <translation>Формат дати</translation>
    </message>
    <message>
        <source>Sync. Time</source>
        <translation>Синхр. часу</translation>
    </message>
    <message>
        <source>PC time</source>
        <translation>Час ПК</translation>
    </message>
    <message>
        <source>hh:mm MM/dd/yyyy</source>
        <translation>hh:mm MM/dd/yyyy</translation>
    </message>
    <message>
        <source>Last Sync time</source>
        <translation>Остання синхронізація</translation>
    </message>
    <message>
        <source>Sync. Now</source>
        <translation>Синхронізувати</translation>
    </message>
    <message>
        <source>Device info</source>
        <translation>Про пристрій</translation>
    </message>
    <message>
        <source>Serial number: </source>
        <translation>Серійний номер: </translation>
    </message>
    <message>
        <source>Version: </source>
        <translation>Версія: </translation>
    </message>
    <message>
        <source>Tune/Trim 12V</source>
        <translation>Підлаштування 12 В</translation>
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
        <translation>Екран стану</translation>
    </message>
    <message>
        <source>Show sequentially every</source>
        <translation>Показувати по черзі кожні</translation>
    </message>
    <message>
        <source>sec</source>
        <translation>с</translation>
    </message>
    <message>
        <source>Show TOTAL</source>
        <translation>Показувати TOTAL</translation>
    </message>
    <message>
        <source>Show POWER</source>
        <translation>Показувати POWER</translation>
    </message>
    <message>
        <source>Show AUX</source>
        <translation>Показувати AUX</translation>
    </message>
    <message>
        <source>Show SITE</source>
        <translation>Показувати SITE</translation>
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
        <translation>Зберегти</translation>
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
        <translation>немає</translation>
    </message>
    <message>
        <source>Version:</source>
        <translation>Версія:</translation>
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
        <translation>Оновити з файлу</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
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
        <translation>&lt;a href=&quot;https://www.quillomar.com&quot;&gt;www.quillomar.com&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Help</source>
        <translation>Довідка</translation>
    </message>
    <message>
        <source>&lt;a href=&quot;https://www.quillomar.com/download&quot;&gt;User Manual&lt;/a&gt;</source>
        <translation>&lt;a href=&quot;https://www.quillomar.com/download&quot;&gt;Посібник користувача&lt;/a&gt;</translation>
    </message>
    <message>
        <source>Temperature, %1F</source>
        <translation>Температура, %1F</translation>
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
        <translation>Попередження</translation>
    </message>
    <message>
        <source>Device disconnected</source>
        <translation>Пристрій відключено</translation>
    </message>
    <message>
        <source>The power supply has not sent its settings yet. Nothing was written.</source>
        <translation>Джерело живлення ще не надіслало своїх налаштувань. Нічого не записано.</translation>
    </message>
    <message>
        <source>The settings could not be written to the power supply.</source>
        <translation>Не вдалося записати налаштування в джерело живлення.</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрити</translation>
    </message>
    <message>
        <source>Settings are not saved. Save now?</source>
        <translation>Налаштування не збережено. Зберегти зараз?</translation>
    </message>
    <message>
        <source>Export settings to JSON</source>
        <translation>Експорт налаштувань у JSON</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Не вдалося записати %1: %2</translation>
    </message>
    <message>
        <source>Import settings from JSON</source>
        <translation>Імпорт налаштувань із JSON</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Не вдалося прочитати %1: %2</translation>
    </message>
    <message>
        <source>not a regular file</source>
        <translation>це не звичайний файл</translation>
    </message>
    <message>
        <source>%1 is too large for a settings file.</source>
        <translation>%1 завеликий для файлу налаштувань.</translation>
    </message>
    <message>
        <source>%1 is not a JSON document: %2 at offset %3.</source>
        <translation>%1 не є документом JSON: %2 на позиції %3.</translation>
    </message>
    <message>
        <source>%1 holds no settings object.</source>
        <translation>%1 не містить об’єкта налаштувань.</translation>
    </message>
    <message>
        <source>%1 is not a power supply settings file: the value of &quot;%2&quot; is missing or out of range. Nothing was changed.</source>
        <translation>%1 не є файлом налаштувань джерела живлення: значення &quot;%2&quot; відсутнє або поза межами. Нічого не змінено.</translation>
    </message>
    <message>
        <source>%1 cannot be imported: the value %3 of &quot;%2&quot; is out of range. Nothing was changed.</source>
        <translation>%1 не можна імпортувати: значення %3 параметра &quot;%2&quot; поза межами. Нічого не змінено.</translation>
    </message>
    <message>
        <source>Qt</source>
        <translation>Qt</translation>
    </message>
    <message>
        <source>Choose file</source>
        <translation>Виберіть файл</translation>
    </message>
    <message>
        <source>Checking</source>
        <translation>Перевірка</translation>
    </message>
    <message>
        <source>Firmware info</source>
        <translation>Про прошивку</translation>
    </message>
    <message>
        <source>Software info</source>
        <translation>Про програму</translation>
    </message>
    <message>
        <source>Version info:</source>
        <translation>Версія:</translation>
    </message>
    <message>
        <source>Download SW</source>
        <translation>Завантажити програму</translation>
    </message>
    <message>
        <source>Checking for the latest software first. Press Download again when the check has answered.</source>
        <translation>Спершу перевіряється найновіша версія програми. Натисніть «Завантажити» ще раз, коли перевірка завершиться.</translation>
    </message>
    <message>
        <source>File name is empty. Nothing to download.</source>
        <translation>Ім’я файлу порожнє. Нема чого завантажувати.</translation>
    </message>
    <message>
        <source>The server&apos;s download link is not a secure web link.</source>
        <translation>Посилання сервера для завантаження не є захищеним.</translation>
    </message>
    <message>
        <source>Default web browser downloads file </source>
        <translation>Типовий браузер завантажує файл </translation>
    </message>
    <message>
        <source>Default web browser can&apos;t download file </source>
        <translation>Типовий браузер не може завантажити файл </translation>
    </message>
    <message>
        <source>Open firmware file</source>
        <translation>Відкрити файл прошивки</translation>
    </message>
    <message>
        <source>The update server named no firmware file.</source>
        <translation>Сервер оновлень не вказав файлу прошивки.</translation>
    </message>
    <message>
        <source>Checking for the latest firmware first. Press Update again when the check has answered.</source>
        <translation>Спершу перевіряється найновіша прошивка. Натисніть «Оновити» ще раз, коли перевірка завершиться.</translation>
    </message>
    <message>
        <source>In its bootloader</source>
        <translation>У режимі завантажувача</translation>
    </message>
    <message>
        <source>The check failed: %1</source>
        <translation>Перевірка не вдалася: %1</translation>
    </message>
    <message>
        <source>The update server named no file to download.</source>
        <translation>Сервер оновлень не вказав файлу для завантаження.</translation>
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
        <translation>Дата</translation>
    </message>
    <message>
        <source>Fan speed</source>
        <translation>Швидкість вентилятора</translation>
    </message>
    <message>
        <source>Main Output Voltage</source>
        <translation>Напруга основного виходу</translation>
    </message>
    <message>
        <source>Main Output Current</source>
        <translation>Струм основного виходу</translation>
    </message>
    <message>
        <source>Mains Voltage</source>
        <translation>Напруга мережі</translation>
    </message>
    <message>
        <source>Mains Frequency</source>
        <translation>Частота мережі</translation>
    </message>
    <message>
        <source>Max. Permitted Power</source>
        <translation>Макс. дозволена потужність</translation>
    </message>
    <message>
        <source>Max. Permitted Current</source>
        <translation>Макс. дозволений струм</translation>
    </message>
    <message>
        <source>Total Current Consumption</source>
        <translation>Загальний споживаний струм</translation>
    </message>
    <message>
        <source>Total Power Consumption</source>
        <translation>Загальна споживана потужність</translation>
    </message>
    <message>
        <source>Temperature inside</source>
        <translation>Температура всередині</translation>
    </message>
    <message>
        <source>Temperature outside</source>
        <translation>Температура зовні</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Час</translation>
    </message>
    <message>
        <source>USB Output Voltage</source>
        <translation>Напруга виходу USB</translation>
    </message>
    <message>
        <source>USB Output Current</source>
        <translation>Струм виходу USB</translation>
    </message>
    <message>
        <source>USB1 Output Voltage</source>
        <translation>Напруга виходу USB1</translation>
    </message>
    <message>
        <source>USB1 Output Current</source>
        <translation>Струм виходу USB1</translation>
    </message>
    <message>
        <source>USB2 Output Voltage</source>
        <translation>Напруга виходу USB2</translation>
    </message>
    <message>
        <source>USB2 Output Current</source>
        <translation>Струм виходу USB2</translation>
    </message>
    <message>
        <source>USB3 Output Voltage</source>
        <translation>Напруга виходу USB3</translation>
    </message>
    <message>
        <source>USB3 Output Current</source>
        <translation>Струм виходу USB3</translation>
    </message>
    <message>
        <source>USB4 Output Voltage</source>
        <translation>Напруга виходу USB4</translation>
    </message>
    <message>
        <source>USB4 Output Current</source>
        <translation>Струм виходу USB4</translation>
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
        <translation>Фаренгейт </translation>
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
        <translation>не більше 5 каналів одночасно </translation>
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
        <source>μs</source>
        <translation>мкс</translation>
    </message>
    <message>
        <source>kHz</source>
        <translation>кГц</translation>
    </message>
</context>
<context>
    <name>QWidget</name>
    <message>
        <source>Use mouse to move time window left and right. Use mouse wheel to zoom in or zoom out the time window displayed</source>
        <translation>Мишею пересувайте часове вікно ліворуч і праворуч. Коліщатком миші збільшуйте або зменшуйте показане часове вікно</translation>
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
        <translation>Профіль живлення за весь час вимірювання</translation>
    </message>
    <message>
        <source>Full range</source>
        <translation>Увесь діапазон</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Мін</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Макс</translation>
    </message>
    <message>
        <source>Average</source>
        <translation>Середнє</translation>
    </message>
    <message>
        <source>#0, mA</source>
        <translation>#0, мА</translation>
    </message>
    <message>
        <source>0</source>
        <translation>0</translation>
    </message>
    <message>
        <source>#1, mV</source>
        <translation>#1, мВ</translation>
    </message>
    <message>
        <source>#2, mV</source>
        <translation>#2, мВ</translation>
    </message>
    <message>
        <source>Power profile data for the time window displayed</source>
        <translation>Профіль живлення за показане часове вікно</translation>
    </message>
    <message>
        <source>0.00-10.00,s</source>
        <translation>0.00-10.00,с</translation>
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
        <translation>Vin, В</translation>
    </message>
</context>
<context>
    <name>SwapFile</name>
    <message>
        <source>A file of that name exists</source>
        <translation>Файл із такою назвою вже існує</translation>
    </message>
    <message>
        <source>A folder of that name exists</source>
        <translation>Тека з такою назвою вже існує</translation>
    </message>
    <message>
        <source>The links that lead to that name form a loop or too long a chain</source>
        <translation>Посилання, що ведуть до цієї назви, утворюють петлю або надто довгий ланцюжок</translation>
    </message>
    <message>
        <source>The disk did not take the file: %1</source>
        <translation>Диск не прийняв файл: %1</translation>
    </message>
    <message>
        <source>The disk did not take the new name: %1</source>
        <translation>Диск не прийняв нову назву: %1</translation>
    </message>
    <message>
        <source>Saved, but the disk did not confirm the new name (%1); the capture is also kept in %2</source>
        <translation>Збережено, але диск не підтвердив нову назву (%1); запис також лишається в %2</translation>
    </message>
    <message>
        <source>%1; the capture is kept in %2</source>
        <translation>%1; запис лишається в %2</translation>
    </message>
    <message>
        <source>Saved, but the disk did not confirm the new name (%1)</source>
        <translation>Збережено, але диск не підтвердив нову назву (%1)</translation>
    </message>
    <message>
        <source>Saving was cancelled</source>
        <translation>Збереження скасовано</translation>
    </message>
    <message>
        <source>Checking the copy...</source>
        <translation>Перевірка копії...</translation>
    </message>
    <message>
        <source>The copy does not read back as it was written</source>
        <translation>Копія читається не так, як її записано</translation>
    </message>
    <message>
        <source>%1; %2 no longer leads to the capture and was left as it is</source>
        <translation>%1; %2 більше не веде до запису й лишається як є</translation>
    </message>
    <message>
        <source>%1 did not lead to the copy and was left as it is</source>
        <translation>%1 не вело до копії й лишається як є</translation>
    </message>
    <message>
        <source>the capture is also still at its old name %1</source>
        <translation>запис також лишається під старою назвою %1</translation>
    </message>
    <message>
        <source>the capture is also kept in %1</source>
        <translation>запис також лишається в %1</translation>
    </message>
    <message>
        <source>%1 no longer led to the capture and was left as it is</source>
        <translation>%1 більше не вела до запису й лишається як є</translation>
    </message>
    <message>
        <source>Saved to %1; %2</source>
        <translation>Збережено в %1; %2</translation>
    </message>
    <message>
        <source>Copying the capture to %1</source>
        <translation>Копіювання запису в %1</translation>
    </message>
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
        <translation>Не вдалося створити вихідний файл</translation>
    </message>
    <message>
        <source>Can&apos;t save file</source>
        <translation>Неможливо зберегти файл</translation>
    </message>
    <message>
        <source>Can&apos;t remove file</source>
        <translation>Не вдалося видалити файл</translation>
    </message>
    <message>
        <source>Failed to write to file</source>
        <translation>Не вдалося записати у файл</translation>
    </message>
    <message>
        <source>Failed to read file</source>
        <translation>Не вдалося прочитати файл</translation>
    </message>
    <message>
        <source>Wrong read length</source>
        <translation>Хибна довжина читання</translation>
    </message>
    <message>
        <source>File mapping error</source>
        <translation>Помилка відображення файлу</translation>
    </message>
    <message>
        <source>Wrong channels number</source>
        <translation>Хибна кількість каналів</translation>
    </message>
    <message>
        <source>The file is damaged or is not a capture file</source>
        <translation>Файл пошкоджено або це не файл запису</translation>
    </message>
    <message>
        <source>Internal file error</source>
        <translation>Внутрішня помилка файлу</translation>
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
        <translation>Не під’єднано ні приладу, ні джерела живлення.</translation>
    </message>
    <message>
        <source>Firmware file too short.</source>
        <translation>Файл прошивки закороткий.</translation>
    </message>
    <message>
        <source>Firmware file is too large.</source>
        <translation>Файл прошивки завеликий.</translation>
    </message>
    <message>
        <source>Firmware file has wrong format</source>
        <translation>Файл прошивки має хибний формат</translation>
    </message>
    <message>
        <source>No firmware download is available.</source>
        <translation>Прошивки для завантаження немає.</translation>
    </message>
    <message>
        <source>Downloading, please wait...</source>
        <translation>Завантаження, зачекайте...</translation>
    </message>
    <message>
        <source>The update server is still answering a check. Please try again in a moment.</source>
        <translation>Сервер оновлень ще відповідає на перевірку. Спробуйте ще раз за мить.</translation>
    </message>
    <message>
        <source>Can&apos;t read firmware file</source>
        <translation>Не вдалося прочитати файл прошивки</translation>
    </message>
    <message>
        <source>Warning</source>
        <translation>Попередження</translation>
    </message>
    <message>
        <source>Server does not have firmware file.</source>
        <translation>На сервері немає файлу прошивки.</translation>
    </message>
    <message>
        <source>Can&apos;t read buffer</source>
        <translation>Не вдалося прочитати буфер</translation>
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
        <translation>Скасування, зачекайте...</translation>
    </message>
</context>
</TS>
