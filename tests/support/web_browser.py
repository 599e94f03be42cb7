#!/usr/bin/python3
"""The web page in a real browser (Debian's chromium, headless, through chromium-driver), driven
by lines on standard input; each answer is one JSON line on standard output.

    web_browser.py URL WIDTH

    state                  {"condition": badge class, "text": its words}
    cards                  the overview's cards in order: [[name, condition, link], ...]
    computer               this computer's countdown in the header: {"shown", "clock", "supplies"}
    ticks                  the chart's time axis: {"ticks": [ms since the epoch], "offset": the
                           browser's offset from UTC in minutes}
    home                   where the header's and the page's links back lead: {"home", "back"}
    expect CONDITION       waits up to 2 s for the badge to show it: {"seen", "ms"}
    login USER PASSWORD    logs in as an admin: {"loggedIn"}
    cancel                 clicks "Cancel shutdown" once it shows, waits for the countdown to go:
                           {"clicked", "gone"}
    shot FILE              a picture of the whole page
    quit                   {"errors": the console's errors, "reloaded": whether the page loaded
                           again since it opened}

The page is opened once; every answer comes from that same page, never reloaded.
"""
import json
import sys
import tempfile
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.by import By


def answer(**fields):
    print(json.dumps(fields), flush=True)


def wait(condition, seconds):
    end = time.monotonic() + seconds
    while time.monotonic() < end:
        if condition():
            return True
        time.sleep(0.02)
    return condition()


def main():
    url, width = sys.argv[1], int(sys.argv[2])
    options = webdriver.ChromeOptions()
    for a in ("--headless", "--no-sandbox", "--disable-gpu", "--disable-background-networking",
              "--disable-component-update", "--disable-sync", "--no-first-run",
              "--user-data-dir=" + tempfile.mkdtemp(prefix="quelta-chromium-")):
        options.add_argument(a)
    # The test's certificate is made at test time and signed by itself.
    options.accept_insecure_certs = True
    options.set_capability("goog:loggingPrefs", {"browser": "ALL"})
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    errors = []
    try:
        driver.set_window_size(width, 1000)
        driver.get(url)
        # A mark that a reload would wipe out.
        driver.execute_script("window.quelta_opened = true;")
        badge = driver.find_element(By.ID, "condition")
        overview = driver.find_element(By.ID, "overview")
        wait(lambda: "waiting" not in badge.get_attribute("class") or (
            overview.is_displayed() and driver.find_elements(By.CSS_SELECTOR, "#cards a")), 10)
        for line in sys.stdin:
            words = line.split()
            if not words:
                continue
            errors += [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
            if words[0] == "state":
                answer(condition=badge.get_attribute("class").split()[-1], text=badge.text)
            elif words[0] == "expect":
                start = time.monotonic()
                seen = wait(lambda: words[1] in badge.get_attribute("class").split(), 2.0)
                answer(seen=seen, ms=int((time.monotonic() - start) * 1000), text=badge.text)
            elif words[0] == "cards":
                # Read in one go: the cards are drawn again with every change.
                answer(cards=driver.execute_script(
                    "return [...document.querySelectorAll('#cards a')].map((c) => "
                    "[c.querySelector('.name').textContent, c.classList[c.classList.length - 1], "
                    "c.href]);"))
            elif words[0] == "computer":
                box = driver.find_element(By.ID, "computer")
                answer(shown=box.is_displayed(),
                       clock=driver.find_element(By.ID, "computer-clock").text,
                       supplies=driver.find_element(By.ID, "computer-supplies").text)
            elif words[0] == "ticks":
                script = ("const c = window.Chart && Chart.getChart('chart');"
                          "return c ? c.scales.x.ticks.map((t) => t.value) : null;")
                wait(lambda: driver.execute_script(script), 5)
                answer(ticks=driver.execute_script(script),
                       offset=driver.execute_script("return new Date().getTimezoneOffset();"),
                       note=driver.find_element(By.ID, "chart-note").text)
            elif words[0] == "health":
                rows = lambda: [r.text for r in driver.find_elements(By.CSS_SELECTOR, "#health tr")]
                wait(rows, 5)
                answer(rows=rows(), outlook=driver.find_element(By.ID, "health-outlook").text)
            elif words[0] == "home":
                answer(home=driver.find_element(By.ID, "home").get_attribute("href"),
                       back=driver.find_element(By.ID, "back").get_attribute("href"))
            elif words[0] == "login":
                driver.find_element(By.ID, "login-user").send_keys(words[1])
                driver.find_element(By.ID, "login-password").send_keys(words[2])
                driver.find_element(By.CSS_SELECTOR, "#login button").click()
                commands = driver.find_element(By.ID, "commands")
                answer(loggedIn=wait(lambda: commands.is_displayed(), 5),
                       note=driver.find_element(By.ID, "command-result").text)
            elif words[0] == "cancel":
                button = driver.find_element(By.ID, "cancel-shutdown")
                clicked = wait(lambda: button.is_displayed(), 5)
                if clicked:
                    button.click()
                card = driver.find_element(By.ID, "countdown-card")
                answer(clicked=clicked, gone=wait(lambda: not card.is_displayed(), 5))
            elif words[0] == "shot":
                height = driver.execute_script("return document.documentElement.scrollHeight")
                driver.set_window_size(width, height)
                # Laid out and painted at the new size: two frames.
                driver.execute_async_script(
                    "const done = arguments[0];"
                    "requestAnimationFrame(() => requestAnimationFrame(done));")
                driver.save_screenshot(words[1])
                answer(saved=words[1])
            elif words[0] == "quit":
                errors += [e for e in driver.get_log("browser") if e["level"] == "SEVERE"]
                opened = driver.execute_script("return window.quelta_opened === true;")
                answer(errors=[e["message"] for e in errors], reloaded=not opened)
                break
    finally:
        driver.quit()


main()
