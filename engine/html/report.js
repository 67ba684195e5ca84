// The report page's behaviour: find-as-you-type over the contents, the
// contents following the scroll, links from the diagram's tables, and, in a
// large report, objects rendered from the embedded data as they come near the
// view and emptied again when far from it. The page reads completely without
// it, except a large report's objects.
"use strict";
(function () {
    const contents = document.getElementById("contents");
    const find = document.getElementById("find");
    const findCount = document.getElementById("find-count");
    if (!contents || !find) {
        return;
    }
    const objectLinks = Array.from(contents.querySelectorAll("a.object-link"));
    const sectionLinks = Array.from(contents.querySelectorAll("a.section"));
    const linkFor = new Map();
    for (const link of contents.querySelectorAll("a")) {
        linkFor.set(link.hash.slice(1), link);
    }

    // --- The objects in page order, with what is in and near the view. Their
    // boxes follow one another down the page, so a binary search finds the
    // first in view from a few measurements, however many there are.
    const main = document.getElementById("main");
    const parts = Array.from(main.querySelectorAll("section.part"));
    // (A large diagram's pages count once it is shown.)
    const listObjects = () => Array.from(main.querySelectorAll(
        "article.object, figure.diagram:not(.paged), .diagram-page:not([hidden])"));
    let objects = listObjects();

    function firstEndingBelow(y) {
        let low = 0;
        let high = objects.length;
        while (low < high) {
            const middle = (low + high) >> 1;
            if (objects[middle].getBoundingClientRect().bottom > y) {
                high = middle;
            } else {
                low = middle + 1;
            }
        }
        return low;
    }

    // The objects from a screen above the view to two below, with their boxes.
    function nearView() {
        const near = [];
        for (let i = firstEndingBelow(-innerHeight); i < objects.length; ++i) {
            const box = objects[i].getBoundingClientRect();
            if (box.top > 2 * innerHeight) {
                break;
            }
            near.push([objects[i], box]);
        }
        return near;
    }

    // --- Objects of a large report, rendered from the embedded data: chunks
    // of compressed bodies. Objects are rendered as they come near the view
    // and emptied again once far from it, so that the page holds only what
    // is about to be read; a few chunks stay unpacked, the rest are let go.
    const chunks = Array.from(document.querySelectorAll("script[id^='report-objects-']"));
    const firsts = chunks.map((chunk) => Number(chunk.dataset.first));  // in order
    const keptChunks = 4;
    const unpacked = new Map();  // chunk -> { ready: Promise, bodies }, oldest first
    const shown = new Set();     // the rendered ones

    async function unpack(text) {
        const binary = atob(text.trim());
        const bytes = new Uint8Array(binary.length);
        for (let i = 0; i < binary.length; ++i) {
            bytes[i] = binary.charCodeAt(i);
        }
        const stream = new Response(bytes).body.pipeThrough(new DecompressionStream("gzip"));
        return JSON.parse(await new Response(stream).text());
    }

    // The last chunk whose first body is at or before the element's.
    function chunkOf(element) {
        const index = Number(element.dataset.object);
        let low = 0;
        let high = firsts.length - 1;
        while (low < high) {
            const middle = (low + high + 1) >> 1;
            if (firsts[middle] <= index) {
                low = middle;
            } else {
                high = middle - 1;
            }
        }
        return low;
    }

    // The chunk's entry, unpacked or on its way, now the most recently used.
    function entryOf(chunk) {
        let entry = unpacked.get(chunk);
        if (entry) {
            unpacked.delete(chunk);
        } else {
            entry = { bodies: null };
            entry.ready = unpack(chunks[chunk].textContent).then((bodies) => {
                entry.bodies = bodies;
                return bodies;
            });
        }
        unpacked.set(chunk, entry);
        if (unpacked.size > keptChunks) {
            unpacked.delete(unpacked.keys().next().value);
        }
        return entry;
    }

    const isPending = (element) => element.classList.contains("pending");
    const waits = (element) => element && isPending(element) && element.dataset.object;

    // An object's (or the diagram's) body under its heading, in place of
    // what stood for it, which is kept for when it is emptied again.
    const placeholders = new WeakMap();
    function renderNow(element, bodies) {
        const template = document.createElement("template");
        template.innerHTML = bodies[Number(element.dataset.object) - firsts[chunkOf(element)]] || "";
        if (!placeholders.has(element)) {
            placeholders.set(element, Array.from(element.childNodes));
        }
        const heading = element.querySelector(":scope > h3");
        element.replaceChildren(...(heading ? [heading] : []), template.content);
        element.classList.remove("pending");
        element.style.minHeight = "";
        shown.add(element);
        if (element.closest(".diagram")) {
            linkDiagram(element);
        }
    }

    // Back to the heading alone, holding the height it had; not while the
    // focus or the selection is in it.
    function empty(element, height) {
        const selection = getSelection();
        if (element.contains(document.activeElement) ||
            (selection.rangeCount && selection.containsNode(element, true))) {
            return;
        }
        element.replaceChildren(...placeholders.get(element));
        element.style.minHeight = height + "px";
        element.classList.add("pending");
        shown.delete(element);
    }

    // Rendering above the view would push what is read down: the first
    // shown object in view is held where it is instead.
    function anchorOf(near) {
        let anchor = null;
        for (const [element, box] of near) {
            if (box.bottom > 0 && (!anchor || (isPending(anchor[0]) && !isPending(element)))) {
                anchor = [element, box];
            }
        }
        return anchor;
    }

    // The waiting objects near the view, nearest first, while the frame's
    // time lasts, so that a jump or a scroll is never held up for long; each
    // keeps what is read in place. Then the far ones are emptied.
    let jumping = 0;
    function renderNear(near) {
        const distance = (box) => Math.max(0, -box.bottom, box.top - innerHeight);
        const waiting = near.filter(([element]) => waits(element))
            .sort((a, b) => distance(a[1]) - distance(b[1]));
        const started = performance.now();
        for (const [element] of waiting) {
            if (performance.now() - started > 8) {
                update();
                break;
            }
            const entry = entryOf(chunkOf(element));
            if (!entry.bodies) {
                entry.ready.then(update);
                continue;
            }
            const anchor = anchorOf(near.map(([e]) => [e, e.getBoundingClientRect()]));
            renderNow(element, entry.bodies);
            if (anchor) {
                const moved = anchor[0].getBoundingClientRect().top - anchor[1].top;
                if (moved) {
                    window.scrollBy(0, moved);
                }
            }
        }
        for (const element of shown) {
            const box = element.getBoundingClientRect();
            if (box.bottom < -3 * innerHeight || box.top > 4 * innerHeight) {
                empty(element, box.height);
            }
        }
    }

    // The view is looked at once a frame at most, before it is drawn.
    let updating = false;
    function update() {
        if (!updating) {
            updating = true;
            requestAnimationFrame(() => {
                updating = false;
                const near = nearView();
                follow(near);
                if (chunks.length && !jumping) {
                    renderNear(near);
                }
            });
        }
    }
    if (chunks.length) {
        // The page holds its place itself (above), not the browser.
        document.documentElement.style.overflowAnchor = "none";
    }
    window.addEventListener("scroll", update, { passive: true });
    window.addEventListener("resize", update);

    // The element a link's hash names: the anchors are percent-encoded names.
    function elementOf(hash) {
        const id = hash.slice(1);
        if (!id) {
            return null;
        }
        let decoded = id;
        try {
            decoded = decodeURIComponent(id);
        } catch (error) {
            // not a percent-encoded name: the identifier as it is
        }
        return document.getElementById(id) || document.getElementById(decoded);
    }

    // A jump renders its target first, alone, then moves to it; what is near
    // it follows once that has been drawn, so that the page moves once.
    async function renderFirst(target, move) {
        ++jumping;
        try {
            const bodies = await entryOf(chunkOf(target)).ready;
            if (isPending(target)) {
                renderNow(target, bodies);
            }
        } finally {
            move();
            requestAnimationFrame(() => setTimeout(() => {
                --jumping;
                update();
            }));
        }
    }

    // The address's object, when it is opened, on back and forward, or
    // after a jump that was not through jumpTo.
    function showTarget() {
        const target = elementOf(location.hash);
        if (target) {
            mark(target.id);
        }
        if (waits(target)) {
            renderFirst(target, () => {
                if (elementOf(location.hash) === target) {
                    target.scrollIntoView();
                }
            });
        } else if (target && chunks.length) {
            // Back and forward restore a place that heights changed since.
            const box = target.getBoundingClientRect();
            if (box.bottom <= 0 || box.top >= innerHeight) {
                target.scrollIntoView();
            }
        }
    }

    function jumpTo(hash) {
        const target = elementOf(hash);
        if (waits(target)) {
            renderFirst(target, () => { location.hash = hash; });
        } else {
            location.hash = hash;
        }
    }
    if (chunks.length) {
        document.addEventListener("click", (event) => {
            const show = event.target instanceof Element && event.target.closest(".show-diagram");
            if (show) {
                showPages(show.closest("figure"));
                return;
            }
            const link = event.target instanceof Element && event.target.closest("a[href^='#']");
            if (link && waits(elementOf(link.hash)) && !event.defaultPrevented &&
                event.button === 0 && !event.ctrlKey && !event.metaKey && !event.shiftKey &&
                !event.altKey) {
                event.preventDefault();
                jumpTo(link.hash);
            }
        });
    }
    window.addEventListener("hashchange", showTarget);

    // A large diagram's pages take their places, each as large as its
    // picture, and are drawn as they come near the view like the objects.
    function showPages(figure) {
        figure.tabIndex = -1;
        for (const page of figure.querySelectorAll(".diagram-page")) {
            if (page.dataset.width && page.dataset.height) {
                page.style.width = page.dataset.width + "pt";
                page.style.height = page.dataset.height + "pt";
            }
            page.hidden = false;
        }
        figure.querySelector(".pending-note").hidden = true;
        figure.focus();
        figure.querySelector(".show-diagram").hidden = true;
        objects = listObjects();
        update();
    }

    // --- The contents mark the first object in view, or the section when
    // none is (in the upper part of the view).
    let current = null;
    function mark(id) {
        const link = linkFor.get(id);
        if (!link || link === current) {
            return;
        }
        if (current) {
            current.removeAttribute("aria-current");
        }
        current = link;
        link.setAttribute("aria-current", "true");
        // (Measured on screen: the sticky sidebar's offsets move with the page.)
        const top = link.getBoundingClientRect().top - contents.getBoundingClientRect().top +
            contents.scrollTop;
        if (top < contents.scrollTop || top > contents.scrollTop + contents.clientHeight - 40) {
            contents.scrollTop = top - contents.clientHeight / 3;
        }
    }
    function follow(near) {
        const upper = 0.3 * innerHeight;
        const first = near.find(([, box]) => box.bottom > 0);
        if (first && first[1].top < upper) {
            // (The diagram has no entry of its own: its section's.)
            mark(first[0].id || first[0].closest("section.part").id);
            return;
        }
        const part = parts.find((element) => {
            const box = element.getBoundingClientRect();
            return box.bottom > 0 && box.top < upper;
        });
        if (part) {
            mark(part.id);
        }
    }

    // --- Find as you type over the objects' names.
    const lowerNames = objectLinks.map((link) => link.textContent.toLowerCase());
    let applied = "";
    function applyFind() {
        const words = find.value.trim().toLowerCase();
        let first = null;
        let shown = 0;
        for (let i = 0; i < objectLinks.length; ++i) {
            const hit = !words || lowerNames[i].includes(words);
            const item = objectLinks[i].parentElement;
            if (item.hidden === hit) {
                item.hidden = !hit;
            }
            if (hit) {
                shown += 1;
                first = first || objectLinks[i];
            }
        }
        // While a find is applied, the sections stay as context but Tab goes
        // from the box straight to the matches.
        for (const link of sectionLinks) {
            link.tabIndex = words ? -1 : 0;
        }
        applied = find.value;
        findCount.textContent = words ? shown + " of " + objectLinks.length + " objects" : "";
        return first;
    }
    let pendingFind = 0;
    find.addEventListener("input", () => {
        cancelAnimationFrame(pendingFind);
        pendingFind = requestAnimationFrame(() => {
            if (applied !== find.value) {
                applyFind();
            }
        });
    });
    find.addEventListener("keydown", (event) => {
        if (event.key === "Enter") {
            const first = applyFind();
            if (first) {
                event.preventDefault();
                jumpTo(first.hash);
                first.focus();
            }
        } else if (event.key === "Escape") {
            find.value = "";
            applyFind();
        }
    });
    document.addEventListener("keydown", (event) => {
        const inField = event.target instanceof HTMLInputElement ||
            event.target instanceof HTMLTextAreaElement || event.target.isContentEditable;
        if (event.key === "/" && !inField && !event.ctrlKey && !event.metaKey && !event.altKey) {
            event.preventDefault();
            find.focus();
            find.select();
        }
    });

    // --- The diagram's tables lead to the tables' descriptions.
    function encoded(text) {
        let out = "";
        for (const byte of new TextEncoder().encode(text)) {
            const c = String.fromCharCode(byte);
            out += /[A-Za-z0-9_-]/.test(c) ? c : "%" + byte.toString(16).toUpperCase().padStart(2, "0");
        }
        return out;
    }
    function linkDiagram(figure) {
        figure.querySelectorAll("g.table[data-name]").forEach((group) => {
            const id = "table-" + encoded(group.getAttribute("data-name"));
            if (document.getElementById(id)) {
                group.addEventListener("click", () => jumpTo("#" + id));
            }
        });
    }
    document.querySelectorAll(".diagram:not(.pending)").forEach(linkDiagram);

    showTarget();
    update();
})();
