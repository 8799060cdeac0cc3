<?php
// PHP's built-in soundex() and metaphone() (C code) over the same names as
// the native benchmark, as a peer beside ovSoundex and ovMetaphone. Each
// figure is ns per call, the median of the repetitions; the loop alone
// (each name assigned, no call) is timed the same way and taken off, so
// the net figure is the functions' own cost with PHP's call of a built-in.
//   php [-d opcache...] bench/peers.php NAMES_FILE [REPETITIONS]
// Prints "php_loop NS", then "php_soundex NS NET" and "php_metaphone NS NET"
// (metaphone with at most 4 characters, as ovMetaphone's limit of 4).

$names = [];
foreach (file($argv[1], FILE_IGNORE_NEW_LINES) as $line) {
    // Windows-1252 bytes, as the native benchmark passes them.
    $name = @iconv('UTF-8', 'CP1252', rtrim($line, "\r"));
    if ($name !== false && $name !== '' && strlen($name) < 256) $names[] = $name;
}
$repetitions = isset($argv[2]) ? (int)$argv[2] : 5;

// ns per call of one repetition: whole passes for at least half a second.
function timePasses(array $names, string $what): float {
    $passes = 0;
    $start = hrtime(true);
    do {
        switch ($what) {
        case 'loop': foreach ($names as $name) { $result = $name; } break;
        case 'soundex': foreach ($names as $name) { $result = soundex($name); } break;
        case 'metaphone': foreach ($names as $name) { $result = metaphone($name, 4); } break;
        }
        ++$passes;
        $elapsed = hrtime(true) - $start;
    } while ($elapsed < 5e8);
    return $elapsed / ($passes * count($names));
}

$times = ['loop' => [], 'soundex' => [], 'metaphone' => []];
for ($r = 0; $r < $repetitions; ++$r)
    foreach (array_keys($times) as $what) $times[$what][] = timePasses($names, $what);
$median = function (array $values): float {
    sort($values);
    return $values[intdiv(count($values), 2)];
};
$loop = $median($times['loop']);
printf("# %d names, PHP %s, JIT %s\n", count($names), PHP_VERSION,
       function_exists('opcache_get_status') && (opcache_get_status(false)['jit']['on'] ?? false) ? 'on' : 'off');
printf("php_loop %.1f\n", $loop);
foreach (['soundex', 'metaphone'] as $what) {
    $ns = $median($times[$what]);
    printf("php_%s %.1f %.1f\n", $what, $ns, $ns - $loop);
}
