// The page of one UPS, or at "/" the overview of them all: everything it shows comes from the
// service's API in the words of the language the browser asks for; a change arrives as an event
// and is drawn at once. What a UPS's state means (its worst state, its words) is decided by the
// service, as the window decides it. This computer's own countdown shows in every page's header.
'use strict';

(function () {
  const overview = location.pathname === '/';
  // Everything after /ups/: a watched server's UPS is named "server/ups".
  const name = overview ? ''
    : decodeURIComponent(location.pathname.replace(/^\/ups\//, '').replace(/\/$/, ''));
  // The conditions from the mildest up, as the service ranks them.
  const severity = ['waiting', 'normal', 'onbattery', 'batterylow', 'outputoffpending',
    'outputoff', 'fault', 'commlost'];
  const cards = new Map(); // the overview's UPSes by name
  const base = '/api/v1/ups/' + encodeURIComponent(name);
  const $ = (id) => document.getElementById(id);
  let texts = {};
  let token = null; // an admin's token, in this page's memory only
  let chart = null;
  let days = 1;
  let lastSelfTest = null;
  let lastDischarging = null;

  function text(key, arg, arg2) {
    const t = texts[key] || '';
    return arg === undefined ? t : t.replace('%1', arg).replace('%2', arg2);
  }

  function two(n) {
    return String(n).padStart(2, '0');
  }

  function clock(seconds) {
    if (seconds === undefined || seconds === null || seconds < 0) return '--:--:--';
    return two(Math.floor(seconds / 3600)) + ':' + two(Math.floor(seconds / 60) % 60) + ':' +
      two(seconds % 60);
  }

  function fixed(value, decimals, unit) {
    if (value === undefined || value === null) return '--';
    return value.toFixed(decimals) + (unit || '');
  }

  function localTime(iso) {
    const d = new Date(iso);
    return isNaN(d) ? iso : d.toLocaleString(texts.lang);
  }

  async function getJson(url) {
    const reply = await fetch(url, { headers: { Accept: 'application/json' } });
    if (!reply.ok) throw new Error(url + ': ' + reply.status);
    return reply.json();
  }

  function applyTexts() {
    document.documentElement.lang = texts.lang || 'en';
    document.querySelectorAll('[data-text]').forEach((e) => {
      e.textContent = text(e.dataset.text);
    });
  }

  function setLive(on) {
    $('live').classList.toggle('off', !on);
    $('live-text').textContent = text(on ? 'live' : 'reconnecting');
  }

  function showComputer(c) {
    const lost = c.suppliesLost || [];
    $('computer').classList.toggle('hidden', c.countdown <= 0 && !lost.length);
    $('computer-label').classList.toggle('hidden', c.countdown <= 0);
    $('computer-clock').classList.toggle('hidden', c.countdown <= 0);
    $('computer-clock').textContent = clock(c.countdown);
    $('computer-supplies').textContent = lost.length
      ? text('suppliesLost', lost.join(', ')) + ' · ' +
        text('suppliesAble', c.suppliesAble, c.suppliesNeeded)
      : '';
  }

  // The overview: a card per UPS, the worst first, each leading to its page. Changes that come
  // together (the event stream starts with one event a UPS) are drawn once, at the next frame.
  let drawPending = false;
  function drawCardsSoon() {
    if (drawPending) return;
    drawPending = true;
    requestAnimationFrame(() => {
      drawPending = false;
      drawCards();
    });
  }

  function drawCards() {
    const list = [...cards.values()].sort((a, b) =>
      severity.indexOf(b.condition) - severity.indexOf(a.condition));
    const box = $('cards');
    box.replaceChildren();
    for (const ups of list) {
      const card = document.createElement('a');
      card.className = 'card ups-card ' + ups.condition;
      card.href = '/ups/' + encodeURIComponent(ups.name) + '/';
      const title = document.createElement('div');
      title.className = 'name';
      title.textContent = ups.name;
      const badge = document.createElement('div');
      badge.className = 'badge ' + ups.condition;
      badge.textContent = ups.conditionText;
      const r = ups.readings;
      const figures = document.createElement('div');
      figures.className = 'figures';
      figures.textContent = [fixed(r.inputVoltage, 1, ' V'), fixed(r.batteryCharge, 0, ' %'),
        fixed(r.load, 0, ' %')].join(' · ');
      card.append(title, badge, figures);
      box.append(card);
    }
    const worst = list.length ? list[0].conditionText : '';
    document.title = 'Quelta' + (worst ? ' · ' + worst : '');
  }

  function show(ups) {
    const badge = $('condition');
    badge.className = 'badge ' + ups.condition;
    badge.textContent = ups.conditionText;
    document.title = 'Quelta · ' + ups.name + ' · ' + ups.conditionText;

    const r = ups.readings;
    $('r-inputVoltage').textContent = fixed(r.inputVoltage, 1);
    $('r-outputVoltage').textContent = fixed(r.outputVoltage, 1);
    $('r-inputFrequency').textContent = fixed(r.inputFrequency, 1);
    $('r-load').textContent = fixed(r.load, 0);
    $('r-batteryVoltage').textContent = fixed(r.batteryVoltage, 2);
    $('r-batteryCharge').textContent = fixed(r.batteryCharge, 0, ' %');
    // The UPS's own runtime beside the one learned from its discharges, as the window says it.
    const measured = r.runtimePredicted;
    const own = r.runtimeSeconds !== undefined && r.runtimeSeconds !== measured;
    $('r-runtime').textContent = measured === undefined ? clock(r.runtimeSeconds)
      : own ? text('runtimeBoth', clock(r.runtimeSeconds)).replace('%2', clock(measured))
        : text('runtimeMeasured', clock(measured));
    $('r-runtime').title = measured === undefined ? (r.runtimePredictedWhy || '')
      : clock(r.runtimePredictedLow) + ' – ' + clock(r.runtimePredictedHigh);
    $('r-batteryHealth').textContent = r.batteryHealth === undefined ? '--'
      : Math.round(r.batteryHealth * 100) + ' %';
    $('r-temperature').textContent = fixed(r.temperature, 1);
    for (const key of ['manufacturer', 'model', 'firmware', 'serial']) {
      $('i-' + key).textContent = ups.identity[key] || '--';
    }

    const c = ups.countdown;
    const counting = c.shutdownSeconds > 0;
    $('countdown-card').classList.toggle('hidden', !counting && c.outputOffSeconds === null);
    $('countdown-label').textContent = text(counting ? 'countdown' : 'outputOffIn');
    $('countdown-clock').textContent = clock(counting ? c.shutdownSeconds : c.outputOffSeconds);
    $('cancel-shutdown').classList.toggle('hidden', !token || !ups.commands.cancelShutdown);

    const list = $('alarms');
    list.replaceChildren();
    for (const a of ups.alarms) {
      const item = document.createElement('li');
      const time = document.createElement('span');
      time.className = 'time';
      time.textContent = localTime(a.time);
      const what = document.createElement('span');
      what.textContent = a.detail ? `${a.text} (${a.detail})` : a.text;
      if (a.standing) what.className = 'standing';
      item.append(time, what);
      list.append(item);
    }
    if (!ups.alarms.length) {
      const item = document.createElement('li');
      item.textContent = text('noAlarms');
      list.append(item);
    }

    const b = ups.battery;
    $('battery-installed').textContent = b.installed || '--';
    $('battery-due').textContent = b.due
      ? text(b.replacementDue ? 'dueSince' : 'dueOn', b.due) : text('firstSeen');
    $('battery-due').classList.toggle('standing', b.replacementDue);

    for (const button of document.querySelectorAll('[data-command]')) {
      const key = button.dataset.command === 'self-test' ? 'selfTest'
        : button.dataset.command === 'self-test-cancel' ? 'selfTestCancel' : 'beeper';
      button.disabled = !ups.commands[key];
    }

    // A self-test that ends is recorded: the list is read again.
    const testing = !!r.selfTest;
    if (lastSelfTest === true && !testing) loadSelfTests();
    lastSelfTest = testing;
    // A discharge that ends may teach a health figure.
    const discharging = testing || (ups.status || []).indexOf('OB') >= 0;
    if (lastDischarging === true && !discharging) loadHealth();
    lastDischarging = discharging;
  }

  async function loadSelfTests() {
    const body = $('selftests');
    try {
      const data = await getJson(base + '/selftests');
      body.replaceChildren();
      for (const t of data.selfTests) {
        const row = body.insertRow();
        row.insertCell().textContent = localTime(t.start);
        row.insertCell().textContent = clock(t.seconds);
        const verdict = row.insertCell();
        verdict.textContent = text(t.result === 'passed' ? 'passed'
          : t.result === 'batteryLow' ? 'failedBatteryLow' : 'failedFault');
        if (t.result !== 'passed') verdict.className = 'failed';
      }
      if (!data.selfTests.length) {
        const cell = body.insertRow().insertCell();
        cell.colSpan = 3;
        cell.textContent = text('noSelfTests');
      }
    } catch (e) {
      body.replaceChildren();
    }
  }

  // The health each stored discharge showed, newest first, and when the trend reaches the line.
  async function loadHealth() {
    const body = $('health');
    const outlook = $('health-outlook');
    try {
      const data = await getJson(base + '/health');
      body.replaceChildren();
      const line = Math.round(data.wornBelow * 100);
      for (const d of data.discharges.slice().reverse()) {
        const row = body.insertRow();
        row.insertCell().textContent = localTime(d.time);
        const health = row.insertCell();
        health.textContent = Math.round(d.health * 100);
        if (d.health < data.wornBelow) health.className = 'failed';
        row.insertCell().textContent = Math.round(d.load);
        row.insertCell().textContent = clock(d.seconds);
      }
      if (!data.discharges.length) {
        const cell = body.insertRow().insertCell();
        cell.colSpan = 4;
        cell.textContent = text('noDischarges');
      }
      outlook.textContent = data.worn ? text('wornNow', line)
        : data.wornAt ? text('wornAround', line, new Date(data.wornAt).toLocaleDateString(texts.lang))
          : '';
    } catch (e) {
      body.replaceChildren();
      outlook.textContent = '';
    }
  }

  const series = [
    { key: 'inputVoltage', color: '#2f7de1' },
    { key: 'outputVoltage', color: '#0f9d7a' },
    { key: 'load', color: '#e08a00' },
    { key: 'batteryVoltage', color: '#9b2fc9' },
    { key: 'temperature', color: '#dc3545' },
  ];

  function roundTicks(min, max) {
    const hour = 3600000;
    const hours = [1, 2, 3, 4, 6, 12].find((h) => (max - min) / (h * hour) <= 6);
    const dayStep = [1, 2, 5, 7, 14].find((d) => (max - min) / (d * 24 * hour) <= 6) || 30;
    const t = new Date(min);
    t.setMinutes(0, 0, 0);
    if (!hours) t.setHours(0);
    const step = () => (hours ? t.setHours(t.getHours() + 1) : t.setDate(t.getDate() + 1));
    // The first round time within the range, on a whole step from midnight.
    while (t.getTime() <= min || (hours ? t.getHours() % hours : (t.getDate() - 1) % dayStep)) {
      step();
    }
    const ticks = [];
    while (t.getTime() < max && ticks.length < 32) {
      ticks.push({ value: t.getTime() });
      if (hours) t.setHours(t.getHours() + hours);
      else t.setDate(t.getDate() + dayStep);
    }
    return ticks;
  }

  async function loadChart() {
    if (typeof window.Chart !== 'function') return; // Debian's libjs-chart.js is missing
    const from = Math.floor(Date.now() / 1000) - days * 86400;
    let data;
    try {
      data = await getJson(base + '/samples?points=600&from=' + from);
    } catch (e) {
      return;
    }
    $('chart-note').textContent = data.samples === 1 ? text('oneSample')
      : data.samples ? text('samples', data.samples) : text('noSamples');
    const datasets = series.map((s) => ({
      label: text(s.key),
      data: data.series[s.key].map((p) => ({ x: p[0], y: p[1] })),
      borderColor: s.color,
      backgroundColor: s.color,
      borderWidth: 1.5,
      pointRadius: 0,
      spanGaps: false,
    }));
    if (chart) {
      chart.data.datasets = datasets;
      chart.options.scales.x.min = data.from;
      chart.options.scales.x.max = data.to;
      chart.update('none');
      return;
    }
    chart = new window.Chart($('chart'), {
      type: 'line',
      data: { datasets },
      options: {
        animation: false,
        parsing: false,
        normalized: true,
        maintainAspectRatio: false,
        interaction: { mode: 'nearest', intersect: false },
        scales: {
          x: {
            type: 'linear',
            min: data.from,
            max: data.to,
            // Round times only: whole hours in a day, midnights in a week or a month.
            afterBuildTicks: (axis) => {
              axis.ticks = roundTicks(axis.min, axis.max);
            },
            ticks: {
              includeBounds: false,
              maxTicksLimit: 6,
              callback: (value) => {
                const d = new Date(value);
                return days > 1 ? d.toLocaleDateString(texts.lang)
                  : d.toLocaleTimeString(texts.lang, { hour: '2-digit', minute: '2-digit' });
              },
            },
          },
        },
        plugins: {
          legend: { position: 'bottom', labels: { boxWidth: 12 } },
          tooltip: {
            callbacks: { title: (items) => new Date(items[0].parsed.x).toLocaleString(texts.lang) },
          },
        },
      },
    });
  }

  async function command(path, body) {
    const reply = await fetch(path, {
      method: 'POST',
      headers: Object.assign({ 'Content-Type': 'application/json' },
        token ? { Authorization: 'Bearer ' + token } : {}),
      body: JSON.stringify(body || {}),
    });
    let data = {};
    try {
      data = await reply.json();
    } catch (e) {
      data = {};
    }
    return { status: reply.status, data };
  }

  function showControl() {
    const https = location.protocol === 'https:';
    $('control-note').textContent = text(https ? 'adminOnly' : 'httpsOnly');
    $('login').classList.toggle('hidden', !https || !!token);
    $('commands').classList.toggle('hidden', !token);
  }

  async function run(which) {
    const { status, data } = await command(base + '/commands/' + which);
    if (status === 401) token = null;
    $('command-result').textContent = status === 200 ? text('issued')
      : text('refused', data.error || String(status));
    showControl();
  }

  function wire() {
    for (const button of document.querySelectorAll('.ranges button')) {
      button.addEventListener('click', () => {
        days = Number(button.dataset.range);
        document.querySelectorAll('.ranges button').forEach((b) => b.classList.toggle('chosen', b === button));
        loadChart();
      });
    }
    $('login').addEventListener('submit', async (event) => {
      event.preventDefault();
      const { status, data } = await command('/api/v1/login', {
        user: $('login-user').value,
        password: $('login-password').value,
      });
      $('login-password').value = '';
      if (status === 200) {
        token = data.token;
        $('command-result').textContent = '';
      } else {
        $('command-result').textContent = status === 401 ? text('loginFailed')
          : text('refused', data.error || String(status));
      }
      showControl();
    });
    $('logout').addEventListener('click', async () => {
      await command('/api/v1/logout');
      token = null;
      showControl();
    });
    for (const button of document.querySelectorAll('[data-command]')) {
      button.addEventListener('click', () => run(button.dataset.command));
    }
    $('cancel-shutdown').addEventListener('click', () => run('cancel-shutdown'));
  }

  function listen() {
    const events = new EventSource('/api/v1/events');
    events.addEventListener('open', () => setLive(true));
    // The browser connects again by itself.
    events.addEventListener('error', () => setLive(false));
    events.addEventListener('computer', (event) => showComputer(JSON.parse(event.data)));
    events.addEventListener('ups', (event) => {
      const ups = JSON.parse(event.data);
      if (overview) {
        cards.set(ups.name, ups);
        drawCardsSoon();
      } else if (ups.name === name) {
        show(ups);
      }
    });
    events.addEventListener('removed', (event) => {
      if (overview && cards.delete(JSON.parse(event.data).name)) drawCardsSoon();
    });
  }

  async function start() {
    $('ups-name').textContent = name;
    try {
      texts = await getJson('/api/v1/texts');
    } catch (e) {
      texts = {};
    }
    applyTexts();
    setLive(false);
    $(overview ? 'overview' : 'ups-page').classList.remove('hidden');
    try {
      showComputer(await getJson('/api/v1/computer'));
    } catch (e) {
      // The events bring it.
    }
    if (overview) {
      try {
        for (const ups of (await getJson('/api/v1/ups')).ups) cards.set(ups.name, ups);
      } catch (e) {
        // The events bring them.
      }
      drawCards();
      listen();
      return;
    }
    wire();
    showControl();
    try {
      show(await getJson(base));
    } catch (e) {
      $('condition').textContent = text('unknownUps');
      return;
    }
    listen();
    loadSelfTests();
    loadHealth();
    loadChart();
    // The chart follows the stored samples; a new one comes every minute or so.
    setInterval(loadChart, 60000);
  }

  start();
}());
