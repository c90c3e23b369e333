"""Headless Chromium with the page open from disk, driven through its element
ids, with bounded waits for what must become true, its downloads and its
network log."""
import glob
import json
import os
import time

from selenium import webdriver
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By
from selenium.webdriver.common.keys import Keys

TIMEOUT = 60


def wait_for(what, condition, timeout=TIMEOUT):
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise TimeoutError("waited %d s for %s" % (timeout, what))
        time.sleep(0.02)


class Browser:
    def __init__(self, page, downloads):
        self.url = "file://" + os.path.abspath(page)
        self.download_root = downloads
        options = webdriver.ChromeOptions()
        for argument in ("--headless=new", "--no-sandbox",
                         "--disable-dev-shm-usage",
                         # Any name lookup fails: a request out would fail
                         # loudly, and shows in the log all the same.  The
                         # loopback address stays for the tests' own server.
                         "--host-resolver-rules=MAP * ~NOTFOUND, EXCLUDE 127.0.0.1",
                         "--window-size=900,800"):
            options.add_argument(argument)
        options.add_experimental_option("prefs", {
            "download.prompt_for_download": False,
            "profile.default_content_setting_values.automatic_downloads": 1,
        })
        options.set_capability("goog:loggingPrefs", {"performance": "ALL"})
        self.driver = webdriver.Chrome(options=options)
        self.urls = []
        self.clear_downloads()

    def quit(self):
        self.driver.quit()

    def _id(self, element_id):
        return self.driver.find_element(By.ID, element_id)

    # --- The page ------------------------------------------------------------
    def open(self, portable=False):
        # A new query each time: a change of the fragment alone would not
        # load the page anew.
        self.loads = getattr(self, "loads", 0) + 1
        self.driver.get("%s?%d%s" % (self.url, self.loads,
                                     "#portable" if portable else ""))
        wait_for("the page to be ready", lambda: self.driver.execute_script(
            "return document.documentElement.dataset.ready === 'true'"))

    def cipher_path(self):
        return self.driver.execute_script(
            "return document.documentElement.dataset.cipherPath")

    def page_text(self):
        return self.driver.find_element(By.TAG_NAME, "body").text

    def choose(self, paths):
        self._id("file").send_keys("\n".join(paths))

    def drop_file(self, name, text):
        """A file of that name and text dropped on the page, as a file
        manager drops one."""
        self.driver.execute_script("""
            const transfer = new DataTransfer();
            transfer.items.add(new File([arguments[1]], arguments[0]));
            document.body.dispatchEvent(new DragEvent("drop", {
                bubbles: true, cancelable: true, dataTransfer: transfer}));""",
            name, text)

    def wait_dialog(self):
        wait_for("the dialog to wait for OK",
                 lambda: self._id("cmdOK").is_enabled() and not self.box_open())

    def answer_dialog(self, password1, password2, expect_caption=None):
        """Types the passwords into the waiting dialog and clicks OK."""
        self.wait_dialog()
        if expect_caption is not None:
            caption = self._id("cmdOK").text
            if caption != expect_caption:
                raise AssertionError("OK reads %r, not %r" % (caption, expect_caption))
        self.type_passwords(password1, password2)
        self._id("cmdOK").click()

    def type_passwords(self, password1, password2):
        """Into the boxes; None leaves a box alone."""
        for box, text in (("txtPW1", password1), ("txtPW2", password2)):
            if text is not None:
                self._id(box).clear()
                self._id(box).send_keys(text)

    def click_ok_and_stop(self):
        """OK, and Stop at once after it, in one script: the stop request
        reaches the worker right behind the start."""
        self.driver.execute_script("""
            document.getElementById("cmdOK").click();
            document.getElementById("cmdStop").click();""")

    def cancel(self):
        self.wait_dialog()
        self._id("cmdCancel").click()

    def wait_set_done(self):
        wait_for("the set to end", lambda: self._id("file").is_enabled()
                 and not self.box_open())

    def status(self):
        """The exit status the desktop program would have ended the last
        set with."""
        return self.driver.execute_script(
            "return document.documentElement.dataset.status")

    def focused_id(self):
        return self.driver.execute_script("return document.activeElement.id")

    def keys(self, *keys):
        """Keys to the focused element (names of Keys in capitals)."""
        chain = ActionChains(self.driver)
        for key in keys:
            chain.send_keys(getattr(Keys, key) if key.isupper() and
                            hasattr(Keys, key) else key)
        chain.perform()

    # --- Message boxes ---------------------------------------------------------
    def box_open(self):
        boxes = self.driver.find_elements(By.CSS_SELECTOR, "[role=alertdialog]")
        return any(box.is_displayed() for box in boxes)

    def message_text(self):
        wait_for("a message box", self.box_open)
        box = self.driver.find_element(By.CSS_SELECTOR, "[role=alertdialog]")
        return box.find_element(By.ID, "msgText").text

    def box_buttons(self):
        box = self.driver.find_element(By.CSS_SELECTOR, "[role=alertdialog]")
        return [b.text for b in box.find_elements(By.TAG_NAME, "button")]

    def focused_text(self):
        return self.driver.execute_script("return document.activeElement.textContent")

    def message_answer(self, label):
        box = self.driver.find_element(By.CSS_SELECTOR, "[role=alertdialog]")
        serial = box.get_attribute("data-serial")
        for button in box.find_elements(By.TAG_NAME, "button"):
            if button.text == label:
                button.click()
                # Closed, or the next box already open.
                wait_for("the message box to close", lambda: not self.box_open()
                         or box.get_attribute("data-serial") != serial)
                return
        raise AssertionError("no button %r" % label)

    # --- Downloads -------------------------------------------------------------
    def offered(self):
        """What the page lists as offered."""
        return [item.get_attribute("data-name") for item in
                self.driver.find_elements(By.CSS_SELECTOR, "#results li")]

    def downloaded_names(self):
        """What was saved, and what the page lists as offered."""
        return sorted(os.listdir(self.downloads)) + self.offered()

    def clear_downloads(self):
        """A new, empty download directory: files of earlier downloads are
        never removed under the browser, and a name is never taken."""
        self.batch = getattr(self, "batch", 0) + 1
        self.downloads = os.path.join(self.download_root, str(self.batch))
        os.makedirs(self.downloads)
        self.driver.execute_cdp_cmd("Browser.setDownloadBehavior", {
            "behavior": "allow", "downloadPath": self.downloads})

    def download(self, name):
        """The finished download of that name (Chromium writes a
        .crdownload first, renamed when complete)."""
        path = os.path.join(self.downloads, name)
        wait_for("the download " + name, lambda: os.path.exists(path) and
                 not glob.glob(os.path.join(self.downloads, "*.crdownload")))
        with open(path, "rb") as f:
            return f.read()

    # --- Network ---------------------------------------------------------------
    def requested_urls(self):
        for entry in self.driver.get_log("performance"):
            message = json.loads(entry["message"])["message"]
            if message["method"] == "Network.requestWillBeSent":
                self.urls.append(message["params"]["request"]["url"])
        return list(self.urls)

    def fetch_refused(self):
        return self.driver.execute_async_script("""
            const done = arguments[arguments.length - 1];
            fetch("https://example.org/").then(() => done(false), () => done(true));""")

    # --- Looks -----------------------------------------------------------------
    def look(self, dark, width):
        self.driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-color-scheme",
                          "value": "dark" if dark else "light"}]})
        self.driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
            "width": width, "height": 800, "deviceScaleFactor": 1,
            "mobile": width < 600})

    def fits_width(self):
        return self.driver.execute_script(
            "return document.documentElement.scrollWidth <= window.innerWidth")

    def screenshot(self, path):
        self.driver.save_screenshot(path)
