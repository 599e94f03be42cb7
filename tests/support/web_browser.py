#!/usr/bin/python3
"""The web page in a real browser (Debian's chromium, headless, through chromium-driver), driven
by lines on standard input; each answer is one JSON line on standard output.

    web_browser.py URL WIDTH

    state                  {"condition": badge class, "text": its words}
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
        wait(lambda: "waiting" not in badge.get_attribute("class"), 10)
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
                time.sleep(0.3)
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
